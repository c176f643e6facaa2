#include "pdfemf/PdfTextRun_p.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quillet::pdfemf {

namespace {

enum Direction
{
    Neutral = 0,
    LeftToRight = 1,
    RightToLeft = -1,
    Number = 2 // read left to right, but not a letter that sets a line's direction
};

// Right to left if any character is of a right-to-left script, left to right if any is a letter of
// a left-to-right one, a number if any is a digit, else neutral: spaces, punctuation, marks.
int directionOf(QStringView text)
{
    int direction = Neutral;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
            return RightToLeft;
        case QChar::DirL:
            direction = LeftToRight;
            break;
        case QChar::DirEN:
        case QChar::DirAN:
            direction = direction == Neutral ? Number : direction;
            break;
        default:
            break;
        }
    }
    return direction;
}

bool isSpace(QStringView text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

// Unicode's vertical presentation form of a character (reached from the ASCII or the full-width
// character it stands for), or the character itself.
char16_t verticalForm(char16_t c)
{
    static const std::map<char16_t, char16_t> forms = [] {
        std::map<char16_t, char16_t> made;
        for (const auto& [from, to] : {std::pair<char16_t, char16_t>{0xFE10, 0xFE19}, {0xFE30, 0xFE4F}}) {
            for (char16_t form = from; form <= to; ++form) {
                const QString base = QChar(form).decomposition();
                if (QChar(form).decompositionTag() == QChar::Vertical && base.size() == 1)
                    made.emplace(base.at(0).unicode(), form); // the first of two forms for '_'
            }
        }
        for (char16_t wide = 0xFF01; wide <= 0xFF5E; ++wide) {
            const QString base = QChar(wide).decomposition();
            const auto form = base.size() == 1 ? made.find(base.at(0).unicode()) : made.end();
            if (form != made.end())
                made.emplace(wide, form->second);
        }
        return made;
    }();
    const auto found = forms.find(c);
    return found == forms.end() ? c : found->second;
}

} // namespace

bool PdfTextRun::continuesAt(const EmfFont& font, EmfColor color, double x, double y, bool mark) const
{
    if (m_glyphs.empty() || !(m_font == font) || m_color != color)
        return false;
    // Within two device units (1/720 inch) of the baseline, or of the em for a mark.
    const double off = -(x - m_x) * m_dirY + (y - m_y) * m_dirX;
    if (mark && m_rightToLeft)
        return std::abs(off) < m_font.height && along(x, y) >= m_resume - m_font.height;
    return std::abs(off) < 2 && along(x, y) >= m_resume;
}

bool PdfTextRun::isMark(const unsigned int* unicode, int length)
{
    for (int i = 0; i < length; ++i) {
        const QChar::Category category = QChar::category(char32_t(unicode[i]));
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_Enclosing)
            return false;
    }
    return length > 0;
}

bool PdfTextRun::endsInArabic() const
{
    return !m_text.isEmpty() && m_text.back().direction() == QChar::DirAL;
}

bool PdfTextRun::standsAbove(const EmfFont& font, double x, double y) const
{
    const double h = m_font.height;
    return m_glyphs.size() == 1 && m_font == font && m_font.escapement == 0 && std::abs(x - m_x) < 0.1 * h &&
           y - m_y > 0.9 * h && y - m_y < 1.25 * h;
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
    Glyph glyph{int(m_text.size()), 0, 0, Neutral, along(x, y)};
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
    glyph.direction = directionOf(QStringView(m_text).right(glyph.units));
    m_glyphs.push_back(glyph);
    m_end = glyph.start + advance;
    if (!isMark(unicode, length))
        m_resume = glyph.start;
    m_rightToLeft = m_rightToLeft || glyph.direction == RightToLeft;
    m_leftToRight = m_leftToRight || glyph.direction == LeftToRight;
}

EmfPoint PdfTextRun::pointAt(double distance) const
{
    return {roundedUnits(m_x + distance * m_dirX), roundedUnits(m_y + distance * m_dirY)};
}

void PdfTextRun::writeTo(EmfWriter& emf, TextLine& line)
{
    if (m_glyphs.empty())
        return;
    if (m_vertical && m_glyphs.size() == 1) {
        for (QChar& c : m_text)
            c = QChar(verticalForm(c.unicode()));
    }
    const bool anyLeft = m_leftToRight, anyRight = m_rightToLeft;
    line.pageRightToLeft = line.pageRightToLeft || anyRight;
    const double offLine = -(m_x - line.x) * line.dirY + (m_y - line.y) * line.dirX;
    if (std::abs(offLine) >= 2 || line.dirX != m_dirX || line.dirY != m_dirY)
        line = TextLine{m_x, m_y, m_dirX, m_dirY, Neutral, line.pageRightToLeft};
    else if (line.pageRightToLeft && (m_x - line.x) * line.dirX + (m_y - line.y) * line.dirY < -2)
        line.direction = RightToLeft;
    if (line.direction == Neutral && (anyLeft || anyRight))
        line.direction = anyLeft ? LeftToRight : RightToLeft;

    const size_t count = m_glyphs.size();
    if (!anyRight && (anyLeft || line.direction != RightToLeft)) {
        writeLeftToRight(emf, 0, count - 1);
    } else {
        // Neutrals take the direction of the letters on both sides, else the line's (the run's ends
        // border on the line). A run with letters of both directions is part of a left-to-right
        // line: the office draws a right-to-left line's runs from right to left, so only a
        // left-to-right line joins them into one run. Digits read left to right; a separator
        // between two ("2.5") belongs to the number, other neutrals count digits as right to left,
        // as Unicode's bidirectional algorithm does.
        const int base = anyLeft ? LeftToRight : line.direction == LeftToRight ? LeftToRight : RightToLeft;
        std::vector<int> directions(count);
        for (size_t g = 0; g < count; ++g)
            directions[g] = m_glyphs[g].direction;
        std::vector<int> resolved(directions);
        for (size_t g = 0; g < count; ++g) {
            if (resolved[g] != Neutral)
                continue;
            if (g > 0 && g + 1 < count && directions[g - 1] == Number && directions[g + 1] == Number) {
                resolved[g] = Number;
                continue;
            }
            int before = base, after = base;
            for (size_t k = g; k-- > 0;) {
                if (directions[k] != Neutral) {
                    before = directions[k];
                    break;
                }
            }
            for (size_t k = g + 1; k < count; ++k) {
                if (directions[k] != Neutral) {
                    after = directions[k];
                    break;
                }
            }
            before = before == Number ? RightToLeft : before;
            after = after == Number ? RightToLeft : after;
            resolved[g] = before == after ? before : base;
        }
        // Stretches of one direction, written in reading order: from the right on a right-to-left line.
        std::vector<std::pair<size_t, size_t>> stretches;
        for (size_t first = 0; first < count;) {
            size_t last = first;
            while (last + 1 < count &&
                   (resolved[last + 1] == RightToLeft) == (resolved[first] == RightToLeft))
                ++last;
            stretches.emplace_back(first, last);
            first = last + 1;
        }
        if (base == RightToLeft)
            std::reverse(stretches.begin(), stretches.end());
        for (const auto& [first, last] : stretches) {
            if (resolved[first] == RightToLeft)
                writeRightToLeft(emf, first, last);
            else
                writeLeftToRight(emf, first, last);
        }
    }
    *this = PdfTextRun();
}

void PdfTextRun::writeLeftToRight(EmfWriter& emf, size_t first, size_t last)
{
    const QString text = textOf(first, last).toString();
    std::vector<int32_t> dx;
    dx.reserve(size_t(text.size()));
    const double origin = m_glyphs[first].start;
    double at = 0;
    int unit = 0;
    for (size_t g = first; g <= last; ++g) {
        const Glyph& glyph = m_glyphs[g];
        // A ligature's advance is shared by its characters; a surrogate pair's low half gets none.
        const double share = (endOf(g) - glyph.start) / glyph.codePoints;
        for (int k = 0; k < glyph.units; ++k, ++unit) {
            const double to = text.at(unit).isLowSurrogate() ? at : at + share;
            dx.push_back(roundedUnits(to) - roundedUnits(at));
            at = to;
        }
    }
    emf.text(pointAt(origin), text, dx, m_font, m_color);
}

void PdfTextRun::writeRightToLeft(EmfWriter& emf, size_t first, size_t last)
{
    // One record a word, so that a reader's own advances misplace no glyph by more than a word's
    // error. In drawing order a word is the spaces before it (after it in reading order) and itself.
    std::vector<std::pair<size_t, size_t>> words;
    const auto spaceAt = [&](size_t g) { return isSpace(textOf(g, g)); };
    size_t start = first;
    for (size_t g = first + 1; g <= last; ++g) {
        if (spaceAt(g) && !spaceAt(g - 1)) {
            words.emplace_back(start, g - 1);
            start = g;
        }
    }
    words.emplace_back(start, last);
    for (auto word = words.rbegin(); word != words.rend(); ++word) {
        QString text;
        for (size_t g = word->second + 1; g-- > word->first;)
            text += textOf(g, g);
        const double right = endOf(word->second);
        emf.rightToLeftText(pointAt(right), text, roundedUnits(right - m_glyphs[word->first].start), m_font,
                            m_color);
    }
}

} // namespace quillet::pdfemf
