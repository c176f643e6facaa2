#pragma once

// Image pixels placed on the page as metafile bitmaps, one bitmap pixel per pixel along each axis of
// the image. EMR_ALPHABLEND's per-pixel alpha is read premultiplied by GDI and straight by the
// office's reader; the two agree on pixels that are opaque or transparent black. So an opaque image is
// a plain bitmap, one whose alpha is all 0 or 255 a premultiplied one, and one with translucent
// pixels is drawn as seen over white paper: where something lies under it, the caller draws what the
// page shows there instead (see PdfBackdrop_p.h).

#include "pdfemf/EmfWriter_p.h"
#include "pdfemf/PdfImagePixels_p.h"

namespace quillet::pdfemf {

class EmfWriter;

// Where the image's unit square lands on the page (device units).
struct ImagePlace
{
    EmfRect bounds;
    EmfPath outline;
};
ImagePlace imagePlace(const double* ctm);

// Whether any pixel is partly transparent once its alpha is multiplied by `opacity`.
bool partlyTransparent(const PdfPixels& pixels, double opacity);

// Draws the image whose unit square the matrix maps onto the page (device units), its alpha times
// `opacity`. Images turned by quarter turns or mirrored are re-ordered exactly; skewed ones are
// resampled into their bounding box with transparent corners.
void drawPixels(EmfWriter& emf, const double* ctm, const PdfPixels& pixels, double opacity = 1);

} // namespace quillet::pdfemf
