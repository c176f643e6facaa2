#pragma once

// The outlines of glyphs of the fonts embedded in a PDF, read with FreeType from the font programs
// themselves. A character whose code means nothing outside its own font (a private-use code point:
// the office writes a symbol font's bullet as U+F0B7) would be drawn from a text record by whatever
// the reader's font of that name holds there, usually a box or nothing; the glyph's own outline
// shows in every reader what the page shows.

#include <CharTypes.h>
#include <Object.h>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class GfxFont;
class XRef;

namespace quillet::pdfemf {

// A glyph in glyph space: the em is 1, y points up. A point flagged `curve` is the first of three
// (two control points and the end of a cubic Bezier), as in EmfFigure.
struct GlyphFigure
{
    std::vector<std::pair<double, double>> points;
    std::vector<bool> curve;
};
struct GlyphOutline
{
    std::vector<GlyphFigure> figures;
    bool winding = true; // the fill rule: non-zero, else even-odd
};

// Whether text of these code points has a meaning only in the font it is drawn with.
bool isPrivateUse(const Unicode* unicode, int length);

// Fonts are read once and kept for the life of the object (one PDF document).
class GlyphOutlines
{
public:
    GlyphOutlines();
    ~GlyphOutlines();
    GlyphOutlines(const GlyphOutlines&) = delete;
    GlyphOutlines& operator=(const GlyphOutlines&) = delete;

    // The glyph `code` selects in `font`; nullptr when the font is not embedded, its program is not
    // TrueType, CFF or Type 1, or it has no such glyph.
    const GlyphOutline* outline(GfxFont& font, XRef* xref, CharCode code);

private:
    struct Font;
    std::unique_ptr<Font> load(GfxFont& font, XRef* xref);
    void* m_library = nullptr;                    // FreeType's, made with the first font
    std::map<Ref, std::unique_ptr<Font>> m_fonts; // by the font's own object; null: not readable
};

} // namespace quillet::pdfemf
