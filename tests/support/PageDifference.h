#pragma once

// How far two drawings of one page differ, on grey over white; drawings of different sizes differ
// completely.
// - share: pixels whose grey, softened by a 3x3 box blur, differs by more than a quarter of the
//   range (text set elsewhere or in another face);
// - tile: the largest difference of mean blurred grey over a 16x16 tile (a missing or extra object,
//   or a wrong tone, even small or pale);
// - local: the most ink in a 24x24 tile with no ink within 2 pixels in the other drawing, either way
//   (a glyph mirrored, squeezed over its neighbours or in the wrong corner of its cell, which the
//   means wash out).

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
    double local = 1024;
};

inline std::vector<int> GreyOverWhite(const QImage& source)
{
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawImage(0, 0, source);
    image = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<int> grey;
    for (int y = 0; y < image.height(); ++y)
        grey.insert(grey.end(), image.constScanLine(y), image.constScanLine(y) + image.width());
    return grey;
}

// Mean of the (2r+1)^2 box around each pixel, or its darkest value, clipped at the edges.
inline std::vector<int> BoxOf(const std::vector<int>& grey, int w, int r, bool darkest)
{
    const int h = int(grey.size()) / w;
    std::vector<int> out(grey.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum = 0, n = 0, low = 255;
            for (int yy = std::max(0, y - r); yy <= std::min(h - 1, y + r); ++yy) {
                for (int xx = std::max(0, x - r); xx <= std::min(w - 1, x + r); ++xx, ++n) {
                    sum += grey[size_t(yy) * w + xx];
                    low = std::min(low, grey[size_t(yy) * w + xx]);
                }
            }
            out[size_t(y) * w + x] = darkest ? low : sum / n;
        }
    }
    return out;
}

inline PageDifference DifferenceOf(const QImage& a, const QImage& b)
{
    if (a.isNull() || a.size() != b.size())
        return {};
    const int w = a.width();
    const std::vector<int> rawA = GreyOverWhite(a), rawB = GreyOverWhite(b);
    const std::vector<int> ga = BoxOf(rawA, w, 1, false), gb = BoxOf(rawB, w, 1, false);
    const std::vector<int> nearA = BoxOf(rawA, w, 2, true), nearB = BoxOf(rawB, w, 2, true);
    const auto tiles = [&](int size) {
        return std::vector<double>(size_t((w + size - 1) / size) * ((a.height() + size - 1) / size));
    };
    std::vector<double> tileSum = tiles(16), tileCount = tiles(16), alone = tiles(24);
    PageDifference d{0, 0, 0};
    for (size_t i = 0; i < ga.size(); ++i) {
        const size_t x = i % w, y = i / w, tile = y / 16 * ((w + 15) / 16) + x / 16;
        d.share += std::abs(ga[i] - gb[i]) > 64 ? 1.0 / double(ga.size()) : 0;
        tileSum[tile] += ga[i] - gb[i];
        tileCount[tile] += 1;
        // Ink: darker than the middle; nothing near counts as ink when even its darkest is pale.
        if ((rawA[i] < 128 && nearB[i] > 192) || (rawB[i] < 128 && nearA[i] > 192))
            alone[y / 24 * ((w + 23) / 24) + x / 24] += 1;
    }
    for (size_t tile = 0; tile < tileSum.size(); ++tile)
        d.tile = std::max(d.tile, std::abs(tileSum[tile]) / tileCount[tile]);
    d.local = *std::max_element(alone.begin(), alone.end());
    return d;
}

} // namespace quillet::testing
