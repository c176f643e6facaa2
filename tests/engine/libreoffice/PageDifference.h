#pragma once

// How far two renderings of one page differ, in two numbers. Both pages are turned grey (on white)
// and softened by a 3x3 box blur, so anti-aliasing and a half-pixel shift of a glyph edge weigh
// little.
// - share: the share of pixels whose grey differs by more than a quarter of the range (shapes and
//   places: text set elsewhere or in another face);
// - worstTile: the largest difference of mean grey over any 16x16 tile, in grey levels (a missing or
//   extra object, or a wrong tone, even where it is small or pale).

#include <QImage>

namespace quillet::testing {

struct PageDifference
{
    double share = 1;
    double worstTile = 255;
};

// Sizes that differ count as entirely different.
PageDifference pageDifference(const QImage& a, const QImage& b);

} // namespace quillet::testing
