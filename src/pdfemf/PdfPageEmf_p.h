#pragma once

// A poppler output device that writes one page as an enhanced metafile: poppler interprets the
// page's content and hands over each path, character and image with the graphics state; this
// device turns them into EmfWriter calls. Device space is the page at UnitsPerInch, y down.

#include "pdfemf/EmfWriter_p.h"
#include "pdfemf/PdfFontFace_p.h"
#include "pdfemf/PdfImagePixels_p.h"
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

    // A soft mask's own content is a mask, not page content: it is not drawn.
    void beginTransparencyGroup(GfxState* state, const double* bbox, GfxColorSpace* blendingColorSpace,
                                bool isolated, bool knockout, bool forSoftMask) override;
    void endTransparencyGroup(GfxState* state) override;

private:
    bool drawing() const { return m_emf && m_maskDepth == 0; }
    void flushText();
    void fillWith(GfxState* state, bool winding);
    void clipWith(GfxState* state, bool winding);
    EmfPath devicePath(GfxState* state) const;
    void drawImagePixels(GfxState* state, const PdfPixels& pixels);

    std::unique_ptr<EmfWriter> m_emf;
    QByteArray m_done;
    std::vector<bool> m_savedDC; // per saved graphics state: did a clip there write EMR_SAVEDC
    std::vector<bool> m_groupIsMask;
    int m_maskDepth = 0;
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
    std::vector<Unicode> m_actualText; // of the span being drawn; empty outside one
    bool m_actualTextGiven = false;    // to the span's first glyph
    std::map<std::pair<int, int>, std::optional<std::vector<CodeRange>>> m_textCodes; // by font object
};

} // namespace quillet::pdfemf
