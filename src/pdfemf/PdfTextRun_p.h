#pragma once

// Characters of one text record: same font, colour and baseline. Glyph positions come from the
// PDF (kerning, word and character spacing included) and become the record's advances.

#include "pdfemf/EmfWriter_p.h"

#include <vector>

namespace quillet::pdfemf {

class PdfTextRun
{
public:
    // Whether a glyph at device point (x, y) in this font and colour carries the run on: on its
    // baseline and not behind its last glyph.
    bool continuesAt(const EmfFont& font, EmfColor color, double x, double y) const;
    // Starts a new run (the old one must have been written) at (x, y), along (dirX, dirY) (unit length).
    void start(const EmfFont& font, EmfColor color, double x, double y, double dirX, double dirY);
    // One glyph with its Unicode text (UCS-4, a ligature has several) and advance along the baseline.
    // Control characters are dropped; a glyph without text adds nothing.
    void add(double x, double y, double advance, const unsigned int* unicode, int length);
    // Writes the run as one EMR_EXTTEXTOUTW and empties it.
    void writeTo(EmfWriter& emf);

private:
    struct Glyph
    {
        int units;      // UTF-16 units in m_text
        int codePoints; // more than one: a ligature
        double start;   // along the baseline from the origin
    };
    double along(double x, double y) const { return (x - m_x) * m_dirX + (y - m_y) * m_dirY; }

    EmfFont m_font;
    EmfColor m_color = 0;
    double m_x = 0, m_y = 0, m_dirX = 1, m_dirY = 0;
    double m_end = 0;
    QString m_text;
    std::vector<Glyph> m_glyphs;
};

} // namespace quillet::pdfemf
