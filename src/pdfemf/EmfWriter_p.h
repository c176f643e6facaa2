#pragma once

// A writer of enhanced metafile records, enough for a printed page: paths (filled, stroked, clipping),
// text as EMR_EXTTEXTOUTW with per-glyph advances, bitmaps (opaque and with alpha), and the device
// context's save/restore. Coordinates are logical units; the logical unit is 1/unitsPerInch inch
// and the reference device in the header has exactly that resolution (MM_TEXT), so a reader needs no
// window or viewport to place anything.
//
// Selected objects, colours and modes are cached: setting what is already set writes nothing.

#include "pdfemf/EmfRecords.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quillet::pdfemf {

struct EmfPoint
{
    int32_t x = 0;
    int32_t y = 0;
};

// 0x00BBGGRR, as GDI's COLORREF.
using EmfColor = uint32_t;
inline EmfColor emfRgb(int r, int g, int b)
{
    return uint32_t(r & 0xff) | uint32_t(g & 0xff) << 8 | uint32_t(b & 0xff) << 16;
}

// One figure of a path: points[0] is the start; a point flagged `curve` is the first of three
// (two control points and the end of a cubic Bezier).
struct EmfFigure
{
    std::vector<EmfPoint> points;
    std::vector<bool> curve;
    bool closed = false;
};
using EmfPath = std::vector<EmfFigure>;

struct EmfPen
{
    enum Cap
    {
        FlatCap,
        RoundCap,
        SquareCap
    };
    enum Join
    {
        MiterJoin,
        RoundJoin,
        BevelJoin
    };
    int32_t width = 1;
    EmfColor color = 0;
    Cap cap = FlatCap;
    Join join = MiterJoin;
    std::vector<uint32_t> dashes; // on, off, on, ... in logical units; empty: solid
};

// A device coordinate as a record's integer, kept in range for coordinates far off the page.
inline int32_t roundedUnits(double v)
{
    return int32_t(std::lround(std::clamp(v, -2.0e9, 2.0e9)));
}

struct EmfFont
{
    int32_t height = 0;     // em height in logical units (written negative: character height)
    int32_t width = 0;      // average character width; 0: the face's own proportions
    int32_t asciiWidth = 0; // the same glyph width as the office's reader counts it (see selectFont)
    int32_t escapement = 0; // baseline angle, tenths of a degree counter-clockwise
    int32_t weight = 400;
    bool italic = false;
    QString face;
    bool operator==(const EmfFont& o) const
    {
        return height == o.height && width == o.width && asciiWidth == o.asciiWidth &&
               escapement == o.escapement && weight == o.weight && italic == o.italic && face == o.face;
    }
};

class EmfWriter
{
public:
    // A page of width x height logical units, 1/unitsPerInch inch each.
    EmfWriter(int32_t width, int32_t height, int unitsPerInch);

    void saveDC();
    void restoreDC(); // to the last saveDC; cached selections are dropped

    void fillPath(const EmfPath& path, EmfColor color, bool winding);
    void strokePath(const EmfPath& path, const EmfPen& pen);
    // Intersects the clip region with the path.
    void clipPath(const EmfPath& path, bool winding);

    // Text drawn on its baseline from `origin`; dx[i] is the advance after text[i] (UTF-16 units).
    void text(EmfPoint origin, const QString& text, const std::vector<int32_t>& dx, const EmfFont& font,
              EmfColor color);
    // Right-to-left text in reading order, ending (on the left) `width` units from `rightEnd`, where
    // its reading starts. No advances: readers disagree on their order (Wine's GDI takes them in
    // drawing order, the office's reader in reading order), so each reader places the glyphs itself,
    // shaping and mirroring as the reading direction asks.
    void rightToLeftText(EmfPoint rightEnd, const QString& text, int32_t width, const EmfFont& font,
                         EmfColor color);

    // A bitmap stretched onto `target`. Rows top first; bgr: 3 bytes a pixel, bgra: 4 bytes a pixel
    // with straight (not premultiplied) alpha: the office's EMF import reads EMR_ALPHABLEND bits so
    // (premultiplied ones come out darker there), and over white paper both readings agree.
    void bitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgr);
    void alphaBitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgra);

    // The whole file: header fields completed, EMR_EOF appended. The writer is spent afterwards.
    QByteArray finish();

private:
    class Record;
    void writePath(const EmfPath& path);
    void selectBrush(EmfColor color);
    void selectPen(const EmfPen& pen);
    void selectFont(const EmfFont& font);
    void setPolyFillMode(bool winding);
    void setTextColor(EmfColor color);
    void select(uint32_t handle);
    void deleteObject(uint32_t handle);
    void append(const Record& record);

    QByteArray m_data;
    uint32_t m_records = 0;
    // Objects of one kind stay made (up to a few per kind) and are selected again by handle; the
    // least recently used is deleted when the kind's handles run out.
    struct ObjectTable
    {
        struct Entry
        {
            QByteArray body; // the create record's fields after the handle
            uint32_t handle;
            uint64_t used;
        };
        uint32_t firstHandle;
        int capacity;
        std::vector<Entry> entries;
        int selected = -1;
        uint64_t clock = 0;
    };
    // Selects the object, creating it first if needed; `creationScaleX` is a horizontal scale of the
    // world transform in force while the creation record is played (see selectFont).
    void useObject(ObjectTable& table, uint32_t createType, const QByteArray& body,
                   double creationScaleX = 1);
    void writeText(const EmfRect& bounds, EmfPoint reference, const QString& text, uint32_t options,
                   const std::vector<int32_t>& dx);
    void setTextAlign(uint32_t align);
    ObjectTable m_pens{1, 8};
    ObjectTable m_brushes{9, 16};
    ObjectTable m_fonts{25, 16}; // handle 0 is reserved, so the header counts 41
    int m_fillMode = -1;
    int64_t m_textColor = -1;
    uint32_t m_textAlign = 24;           // TA_BASELINE | TA_LEFT, as the header sets it
    std::vector<uint32_t> m_savedAligns; // per saveDC: the alignment restoreDC brings back
};

} // namespace quillet::pdfemf
