#pragma once

// How far two renderings of one page differ: both are turned grey, softened by a 3x3 box blur
// (so anti-aliasing and a half-pixel shift of a glyph edge weigh little) and compared pixel by
// pixel; the share of pixels whose grey differs by more than a quarter of the range is the score.

#include <QImage>

namespace quillet::testing {

// 0 = same, 1 = every pixel differs; 1 as well when the sizes differ.
double differingShare(const QImage& a, const QImage& b);

} // namespace quillet::testing
