#include "pdfemf/PdfTextRun_p.h"

#include <cmath>

namespace quillet::pdfemf {

bool PdfTextRun::continuesAt(const EmfFont& font, EmfColor color, double x, double y) const
{
    if (m_glyphs.empty() || !(m_font == font) || m_color != color)
        return false;
    // Within two device units (1/720 inch) of the baseline.
    const double off = -(x - m_x) * m_dirY + (y - m_y) * m_dirX;
    return std::abs(off) < 2 && along(x, y) >= m_glyphs.back().start;
}

void PdfTextRun::start(const EmfFont& font, EmfColor color, double x, double y, double dirX, double dirY)
{
    *this = PdfTextRun();
    m_font = font;
    m_color = color;
    m_x = x;
    m_y = y;
    m_dirX = dirX;
    m_dirY = dirY;
}

void PdfTextRun::add(double x, double y, double advance, const unsigned int* unicode, int length)
{
    Glyph glyph{0, 0, along(x, y)};
    for (int i = 0; i < length; ++i) {
        const char32_t c = unicode[i];
        if (c < 0x20 || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF)
            continue;
        if (c >= 0x10000) {
            m_text += QChar::highSurrogate(c);
            m_text += QChar::lowSurrogate(c);
            glyph.units += 2;
        } else {
            m_text += QChar(char16_t(c));
            glyph.units += 1;
        }
        ++glyph.codePoints;
    }
    if (glyph.units == 0)
        return;
    m_glyphs.push_back(glyph);
    m_end = glyph.start + advance;
}

void PdfTextRun::writeTo(EmfWriter& emf)
{
    if (m_glyphs.empty())
        return;
    std::vector<int32_t> dx;
    dx.reserve(size_t(m_text.size()));
    double at = 0;
    int unit = 0;
    for (size_t g = 0; g < m_glyphs.size(); ++g) {
        const Glyph& glyph = m_glyphs[g];
        const double next = g + 1 < m_glyphs.size() ? m_glyphs[g + 1].start : m_end;
        // A ligature's advance is shared by its characters; a surrogate pair's low half gets none.
        const double share = (next - glyph.start) / glyph.codePoints;
        for (int k = 0; k < glyph.units; ++k, ++unit) {
            const double to = m_text.at(unit).isLowSurrogate() ? at : at + share;
            dx.push_back(roundedUnits(to) - roundedUnits(at));
            at = to;
        }
    }
    emf.text({roundedUnits(m_x), roundedUnits(m_y)}, m_text, dx, m_font, m_color);
    *this = PdfTextRun();
}

} // namespace quillet::pdfemf
