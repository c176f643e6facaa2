#pragma once

// How far two drawings of one page differ, both on grey over white softened by a 3x3 box blur, so
// that anti-aliasing and a half-pixel shift of a glyph edge weigh little:
// - share: pixels whose grey differs by more than a quarter of the range (text set elsewhere or in
//   another face);
// - tile: the largest difference of mean grey over any 16x16 tile (a missing or extra object, or a
//   wrong tone, even small or pale).
// Drawings of different sizes differ completely.

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace quillet::testing {

struct PageDifference
{
    double share = 1;
    double tile = 255;
};

inline std::vector<int> BlurredGrey(const QImage& source)
{
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, source);
    const int w = image.width(), h = image.height();
    std::vector<int> blurred(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum = 0, n = 0;
            for (int yy = std::max(0, y - 1); yy <= std::min(h - 1, y + 1); ++yy) {
                for (int xx = std::max(0, x - 1); xx <= std::min(w - 1, x + 1); ++xx, ++n)
                    sum += qGray(reinterpret_cast<const QRgb*>(image.constScanLine(yy))[xx]);
            }
            blurred[size_t(y) * w + x] = sum / n;
        }
    }
    return blurred;
}

inline PageDifference DifferenceOf(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return {};
    const std::vector<int> ga = BlurredGrey(a), gb = BlurredGrey(b);
    const size_t w = size_t(a.width()), tilesAcross = (w + 15) / 16;
    std::vector<double> tileSum(tilesAcross * size_t((a.height() + 15) / 16)), tileCount(tileSum.size());
    PageDifference d{0, 0};
    for (size_t i = 0; i < ga.size(); ++i) {
        d.share += std::abs(ga[i] - gb[i]) > 64 ? 1.0 / double(ga.size()) : 0;
        const size_t tile = i / w / 16 * tilesAcross + i % w / 16;
        tileSum[tile] += ga[i] - gb[i];
        tileCount[tile] += 1;
    }
    for (size_t tile = 0; tile < tileSum.size(); ++tile)
        d.tile = std::max(d.tile, std::abs(tileSum[tile]) / tileCount[tile]);
    return d;
}

} // namespace quillet::testing
