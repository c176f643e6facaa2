#pragma once

// Characters of one text run: same font, colour and baseline, in the order the PDF draws them,
// which for right-to-left scripts is the drawing (visual) order. Glyph positions come from the PDF
// (kerning, word and character spacing included) and become the records' advances. A run is
// written as records that hold reading (logical) order: left-to-right stretches with advances,
// right-to-left words marked as such, placed at their right ends.

#include "pdfemf/EmfWriter_p.h"

#include <vector>

namespace quillet::pdfemf {

// What the runs of one line have shown so far: where its first run starts, and its reading
// direction. The office writes a line's runs in reading order, so a run that starts before the
// first one (on a page with right-to-left letters) makes the line right to left; otherwise the
// first run with a letter decides. The direction matters for runs of neutral characters only, such
// as the ")." that ends a Hebrew line.
struct TextLine
{
    double x = 0, y = 0, dirX = 1, dirY = 0;
    int direction = 0;            // 1 left to right, -1 right to left, 0 not known yet
    bool pageRightToLeft = false; // the page has shown right-to-left letters (kept from line to line)
};

class PdfTextRun
{
public:
    // Whether a glyph at device point (x, y) in this font and colour carries the run on: on its
    // baseline and not behind its last glyph. A combining mark over right-to-left letters may stand
    // off the baseline and before the letter it belongs to, which may follow it.
    bool continuesAt(const EmfFont& font, EmfColor color, double x, double y, bool mark = false) const;
    // Whether the run ends in an Arabic letter (a kashida that stretches a word may follow).
    bool endsInArabic() const;
    // Whether the characters are combining marks only (vowel points, harakat).
    static bool isMark(const unsigned int* unicode, int length);
    // Starts a new run (the old one must have been written) at (x, y), along (dirX, dirY) (unit length).
    void start(const EmfFont& font, EmfColor color, double x, double y, double dirX, double dirY);
    // One glyph with its Unicode text (UCS-4, a ligature has several) and advance along the baseline.
    // Control characters are dropped; a glyph without text adds nothing.
    void add(double x, double y, double advance, const unsigned int* unicode, int length);
    int glyphs() const { return int(m_glyphs.size()); }
    // Whether the run is one upright glyph straight above a glyph at (x, y) in the same font, an em
    // higher: a column of vertical text, whose glyphs the office sets one by one.
    bool standsAbove(const EmfFont& font, double x, double y) const;
    // The run is one upright glyph of a vertical column: punctuation takes its vertical form
    // (U+FE10..FE19, U+FE30..FE4F), as the page draws it.
    void setVertical() { m_vertical = true; }
    // Writes the run as records in reading order and empties it; `line` is the line it belongs to,
    // started afresh when the run lies on another baseline.
    void writeTo(EmfWriter& emf, TextLine& line);

private:
    struct Glyph
    {
        int offset;     // of its text in m_text
        int units;      // UTF-16 units in m_text
        int codePoints; // more than one: a ligature
        int direction;  // of its characters (see directionOf)
        double start;   // along the baseline from the origin
    };
    double along(double x, double y) const { return (x - m_x) * m_dirX + (y - m_y) * m_dirY; }
    double endOf(size_t glyph) const
    {
        return glyph + 1 < m_glyphs.size() ? m_glyphs[glyph + 1].start : m_end;
    }
    QStringView textOf(size_t first, size_t last) const
    {
        return QStringView(m_text).mid(m_glyphs[first].offset,
                                       m_glyphs[last].offset + m_glyphs[last].units - m_glyphs[first].offset);
    }
    EmfPoint pointAt(double distance) const;
    void writeLeftToRight(EmfWriter& emf, size_t first, size_t last);
    void writeRightToLeft(EmfWriter& emf, size_t first, size_t last);

    EmfFont m_font;
    EmfColor m_color = 0;
    double m_x = 0, m_y = 0, m_dirX = 1, m_dirY = 0;
    double m_end = 0;
    double m_resume = 0;        // where the last glyph that is not a mark starts
    bool m_rightToLeft = false; // the run holds a right-to-left letter
    bool m_leftToRight = false; // and a left-to-right one
    bool m_vertical = false;
    QString m_text;
    std::vector<Glyph> m_glyphs;
};

} // namespace quillet::pdfemf
