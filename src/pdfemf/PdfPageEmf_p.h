#pragma once

// A poppler output device that writes one page as an enhanced metafile: poppler interprets the
// page's content and hands over each path, character and image with the graphics state; this
// device turns them into EmfWriter calls. Device space is the page at UnitsPerInch, y down.
//
// A translucent paint is drawn in its colour mixed over white where nothing lies under it. Where
// something does, the page as shown there is drawn instead, rendered by poppler (PdfBackdrop_p.h):
// a page with such paints is written twice, first to learn which paint events need a picture and
// of what region, then with the pictures.

#include "pdfemf/EmfWriter_p.h"
#include "pdfemf/PdfBackdrop_p.h"
#include "pdfemf/PdfFontFace_p.h"
#include "pdfemf/PdfGlyphOutlines_p.h"
#include "pdfemf/PdfImageDrawing_p.h"
#include "pdfemf/PdfTextRun_p.h"

#include <OutputDev.h>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace quillet::pdfemf {

class PdfPageEmf : public OutputDev
{
public:
    static constexpr int UnitsPerInch = 1440;

    // The metafile of the page last displayed; empty before.
    QByteArray takeEmf();

    enum class Backdrops
    {
        Off,     // translucent paints mixed over white
        Collect, // and the pictures a second writing needs listed (takeShots)
        Draw,    // and the pictures given drawn
    };
    void setBackdrops(Backdrops mode, std::vector<BackdropShot> shots = {});
    std::vector<BackdropShot> takeShots() { return std::move(m_shots); }
    int paintEvents() const { return m_event; }

    bool upsideDown() override { return true; }
    bool useDrawChar() override { return true; }
    bool interpretType3Chars() override { return true; }

    // Axial shadings as bands of about a point each: poppler's own fallback cuts them into bands
    // one device unit thin, which readers drop at screen resolution.
    bool useShadedFills(int type) override { return type == 2; }
    bool axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax) override;
    bool axialShadedSupportExtend(GfxState*, GfxAxialShading*) override { return true; }

    void startPage(int pageNum, GfxState* state, XRef* xref) override;
    void endPage() override;

    void saveState(GfxState* state) override;
    void restoreState(GfxState* state) override;

    void stroke(GfxState* state) override;
    void fill(GfxState* state) override;
    void eoFill(GfxState* state) override;
    void clip(GfxState* state) override;
    void eoClip(GfxState* state) override;

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

    // Marked content with its text given (ActualText), as the office wraps a letter's combining marks:
    // the span's first glyph carries that text, its other glyphs none.
    void beginActualText(GfxState* state, const GooString* text) override;
    void endActualText(GfxState* state) override;

    // A group over bare paper is drawn element by element, each at the group's opacity times its own
    // (overlaps inside it show through each other); over something, as the page shows it, with its
    // text records kept under the picture. A soft mask's own content is a mask, not page content: it
    // is not drawn, and what it masks is drawn unmasked.
    void beginTransparencyGroup(GfxState* state, const double* bbox, GfxColorSpace* blendingColorSpace,
                                bool isolated, bool knockout, bool forSoftMask) override;
    void endTransparencyGroup(GfxState* state) override;
    void paintTransparencyGroup(GfxState* state, const double* bbox) override;

private:
    bool drawing() const { return m_emf && m_maskDepth == 0; }
    // Paints other than text: not inside a group drawn as a picture.
    bool painting() const { return drawing() && m_pictureDepth == 0; }
    // The opacity a paint is drawn at: the state's own times that of the groups it is in.
    double paintOpacity(GfxState* state, bool stroke) const;
    void flushText();
    void fillWith(GfxState* state, bool winding);
    void clipWith(GfxState* state, bool winding);
    EmfPath devicePath(GfxState* state) const;
    // Counts the image's paint event and gives the part of it to decode; empty when none is (not
    // in view, not drawn, or drawn as a picture of the page).
    ImageWindow imageWanted(GfxState* state, int width, int height);
    void drawImagePixels(GfxState* state, const ImageWindow& window, const PdfPixels& pixels);
    // The device region of `bounds` within the clip, on the pictures' pixel grid.
    EmfRect clippedRegion(GfxState* state, const EmfRect& bounds) const;
    // Whether a translucent paint over `region` is drawn as a picture of the page.
    bool wantsPicture(const EmfRect& region) const;
    bool hasPicture() const; // for the current paint event, when drawing pictures
    // The page as shown in `region` right after the current paint event, clipped to `area`.
    void drawPicture(const EmfRect& region, const EmfPath& area, bool winding);

    std::unique_ptr<EmfWriter> m_emf;
    QByteArray m_done;
    std::vector<bool> m_savedDC;        // per saved graphics state: did a clip there write EMR_SAVEDC
    std::vector<double> m_savedOpacity; // per saved graphics state: its fill opacity
    struct Group
    {
        bool forSoftMask;
        double opacity;
        bool picture; // drawn as a picture of the page over `region`
        EmfRect region;
    };
    std::vector<Group> m_groups;
    Group m_ended{}; // the group last ended, which paintTransparencyGroup paints
    int m_maskDepth = 0;
    int m_pictureDepth = 0;
    Backdrops m_backdrops = Backdrops::Off;
    std::vector<BackdropShot> m_shots;
    size_t m_nextShot = 0;
    int m_event = 0; // paint events so far on this page, counted as PdfBackdrop counts them
    PdfTextRun m_run;
    TextLine m_line;                     // the line the last run was on
    bool m_verticalFlow = false;         // the last glyphs stood in a column of vertical text
    const GfxFont* m_faceFont = nullptr; // the font m_face was looked up for, on this page
    FontFace m_face;
    // Whether the font's own ToUnicode map (not poppler's guesses) gives text for the code; true
    // without a map.
    bool hasText(const GfxFont& font, CharCode code);
    using CodeRange = std::pair<uint32_t, uint32_t>;
    XRef* m_xref = nullptr;
    std::unique_ptr<GlyphOutlines> m_glyphs; // of the fonts of m_xref's document
    std::vector<Unicode> m_actualText; // of the span being drawn; empty outside one
    bool m_actualTextGiven = false;    // to the span's first glyph
    std::map<std::pair<int, int>, std::optional<std::vector<CodeRange>>> m_textCodes; // by font object
};

} // namespace quillet::pdfemf
