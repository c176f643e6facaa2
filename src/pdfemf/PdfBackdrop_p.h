#pragma once

// What a page shows where a translucent paint lies over something already drawn, rendered by
// poppler's own rasteriser (Splash, as pdftoppm draws pages).
//
// Neither reader can be told to blend a colour at an arbitrary opacity: the office's reader takes
// EMR_ALPHABLEND's constant alpha as a transparency (200 comes out as 55), and the two readers read
// per-pixel alpha differently (premultiplied and straight). So such a paint is flattened: the page
// writer counts its paint events (PaintEvents), asks for a picture of each region right after the
// paint that needs it, and draws that picture clipped to the paint's area. Splash renders the page
// with the writer's own choices of how shadings, patterns and groups reach the device, so the events
// come in the same order; when their number differs, no picture is trusted.

#include "pdfemf/EmfWriter_p.h"

#include <SplashOutputDev.h>
#include <vector>

class PDFDoc;

namespace quillet::pdfemf {

// The resolution of the pictures: as printed.
constexpr int kBackdropDpi = 300;

// A region (device units, on the picture's pixel grid) wanted right after paint event `event`.
struct BackdropShot
{
    int event = 0;
    EmfRect region;
    int width = 0, height = 0;
    std::vector<uint8_t> bgr; // top row first; filled in by PdfBackdrop::render
};

// `rect` grown to whole pixels of a picture at kBackdropDpi (units at `unitsPerInch`).
EmfRect backdropRegion(const EmfRect& rect, int unitsPerInch);

class PdfBackdrop : public SplashOutputDev
{
public:
    PdfBackdrop();

    // Renders page `page` over the shots' regions at kBackdropDpi and fills each shot's pixels.
    // False when the page did not bring `events` paint events, and the shots are then left empty.
    bool render(PDFDoc& doc, int page, int unitsPerInch, std::vector<BackdropShot>& shots, int events);

    // How paints reach the device: as the page writer has them.
    bool useTilingPatternFill() override { return false; }
    bool useShadedFills(int type) override { return type == 2; }
    bool axialShadedSupportExtend(GfxState*, GfxAxialShading*) override { return true; }
    bool checkTransparencyGroup(GfxState*, bool) override { return true; }

    // The paint events, counted as the page writer counts them.
    void stroke(GfxState* state) override;
    void fill(GfxState* state) override;
    void eoFill(GfxState* state) override;
    bool axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax) override;
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode code, int nBytes, const Unicode* u, int uLen) override;
    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                       bool interpolate, bool inlineImg) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                   GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                   bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                         GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                         int maskHeight, bool maskInvert, bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;
    void paintTransparencyGroup(GfxState* state, const double* bbox) override;

private:
    // A paint is counted once, also when the rasteriser's own method calls another counted one.
    bool enter();
    void leave(bool outer);
    void painted();

    bool m_busy = false;
    PDFDoc* m_doc = nullptr;
    std::vector<BackdropShot>* m_shots = nullptr;
    size_t m_next = 0;
    int m_events = 0;
    double m_scale = 1; // picture pixels per device unit
    int m_sliceX = 0, m_sliceY = 0;
};

} // namespace quillet::pdfemf
