#pragma once

// Strokes in device space: a PDF path flattened, cut into its dashes, and turned into the outline
// a stroke covers. Dashes are written as separate figures drawn with a solid pen, because readers
// disagree on EMF's own dash styles (the office's reader draws PS_USERSTYLE solid, Wine's GDI
// measures it in device pixels); an outline is what a translucent stroke is clipped to.

#include "pdfemf/EmfWriter_p.h"

#include <optional>
#include <vector>

class GfxState;

namespace quillet::pdfemf {

struct FlatPoint
{
    double x = 0;
    double y = 0;
};

struct FlatFigure
{
    std::vector<FlatPoint> points;
    bool closed = false;
};
using FlatPath = std::vector<FlatFigure>;

// The state's path in device space, curves flattened to within a device unit.
FlatPath flatDevicePath(GfxState* state);

// The dashes of `path` as open figures: `dashes` alternate on and off lengths, `phase` is how far
// into the pattern each figure starts. The pattern starts anew on every figure, as in PDF.
FlatPath dashedPath(const FlatPath& path, const std::vector<double>& dashes, double phase);

// The area a stroke of `width` covers, as figures filled with the non-zero rule. Caps and joins
// take PDF's numbering (0 butt/miter, 1 round, 2 square/bevel).
EmfPath strokeOutline(const FlatPath& path, double width, int cap, int join, double miterLimit);

EmfPath emfPathOf(const FlatPath& path);

// A fill that is an upright rectangle less than `thinnest` across (a fraction bar, a rule drawn as
// a fill), as the line along its middle and its thickness. GDI fills only the pixels whose centres
// lie inside a path, so a bar under a pixel tall can vanish between two rows; a line is always at
// least a pixel wide.
struct ThinBar
{
    EmfPath line;
    int32_t thickness = 0;
};
std::optional<ThinBar> thinBarOf(const EmfPath& fill, int32_t thinnest);

} // namespace quillet::pdfemf
