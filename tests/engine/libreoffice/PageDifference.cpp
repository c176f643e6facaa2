#include "PageDifference.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quillet::testing {

namespace {

std::vector<int> blurredGrey(const QImage& source)
{
    // Transparent pixels are paper: put the image on white first.
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QImage argb = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(in[x]);
                const auto mix = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
                out[x] = qRgb(mix(qRed(in[x])), mix(qGreen(in[x])), mix(qBlue(in[x])));
            }
        }
    }
    const int w = image.width(), h = image.height();
    std::vector<int> grey(size_t(w) * h), blurred(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            grey[size_t(y) * w + x] = qGray(line[x]);
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx >= 0 && yy >= 0 && xx < w && yy < h) {
                        sum += grey[size_t(yy) * w + xx];
                        ++n;
                    }
                }
            }
            blurred[size_t(y) * w + x] = sum / n;
        }
    }
    return blurred;
}

} // namespace

PageDifference pageDifference(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return {};
    const std::vector<int> ga = blurredGrey(a), gb = blurredGrey(b);
    const int w = a.width(), h = a.height();
    PageDifference d;
    size_t differing = 0;
    for (size_t i = 0; i < ga.size(); ++i)
        differing += std::abs(ga[i] - gb[i]) > 64 ? 1 : 0;
    d.share = double(differing) / double(ga.size());
    constexpr int Tile = 16;
    d.worstTile = 0;
    for (int ty = 0; ty < h; ty += Tile) {
        for (int tx = 0; tx < w; tx += Tile) {
            long sum = 0, n = 0;
            for (int y = ty; y < std::min(h, ty + Tile); ++y) {
                for (int x = tx; x < std::min(w, tx + Tile); ++x, ++n)
                    sum += ga[size_t(y) * w + x] - gb[size_t(y) * w + x];
            }
            d.worstTile = std::max(d.worstTile, std::abs(double(sum)) / double(n));
        }
    }
    return d;
}

} // namespace quillet::testing
