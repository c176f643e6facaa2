#include "pdfemf/EmfWriter_p.h"

#include <QtEndian>
#include <algorithm>
#include <climits>
#include <cstring>

namespace quillet::pdfemf {

namespace {

EmfRect boundsOf(const EmfPath& path)
{
    EmfRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const EmfFigure& figure : path) {
        for (const EmfPoint& p : figure.points) {
            r.left = std::min(r.left, p.x);
            r.top = std::min(r.top, p.y);
            r.right = std::max(r.right, p.x);
            r.bottom = std::max(r.bottom, p.y);
        }
    }
    return r.left > r.right ? EmfRect{} : r;
}

bool fits16(const EmfPoint* points, size_t count)
{
    return std::all_of(points, points + count, [](const EmfPoint& p) {
        return p.x >= INT16_MIN && p.x <= INT16_MAX && p.y >= INT16_MIN && p.y <= INT16_MAX;
    });
}

} // namespace

// One record being built: type, size placeholder, then little-endian fields.
class EmfWriter::Record
{
public:
    explicit Record(uint32_t type)
    {
        u32(type);
        u32(0);
    }
    Record& u32(uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_bytes.append(b, 4);
        return *this;
    }
    Record& i32(int32_t v) { return u32(uint32_t(v)); }
    Record& u16(uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_bytes.append(b, 2);
        return *this;
    }
    Record& f32(float v)
    {
        uint32_t bits;
        memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Record& rect(const EmfRect& r) { return i32(r.left).i32(r.top).i32(r.right).i32(r.bottom); }
    Record& bytes(const char* data, qsizetype size)
    {
        m_bytes.append(data, size);
        return *this;
    }
    Record& pad()
    {
        while (m_bytes.size() % 4)
            m_bytes.append('\0');
        return *this;
    }
    qsizetype size() const { return m_bytes.size(); }
    // The fields after type and size.
    QByteArray body() const { return m_bytes.mid(8); }
    QByteArray finished() const
    {
        QByteArray out = m_bytes;
        qToLittleEndian(uint32_t(out.size()), out.data() + 4);
        return out;
    }

private:
    QByteArray m_bytes;
};

EmfWriter::EmfWriter(int32_t width, int32_t height, int unitsPerInch)
{
    // A reference device of exactly unitsPerInch: 125 inches is a whole number of millimetres.
    const int32_t deviceUnits = 125 * unitsPerInch;
    const auto hundredthsMm = [unitsPerInch](int32_t units) {
        return int32_t((int64_t(units) * 2540 + unitsPerInch / 2) / unitsPerInch);
    };
    Record header(EMR_HEADER);
    header.rect({0, 0, width - 1, height - 1});
    header.rect({0, 0, hundredthsMm(width) - 1, hundredthsMm(height) - 1});
    header.u32(kEmfSignature).u32(0x10000);
    header.u32(0)
        .u32(0)
        .u16(uint16_t(m_fonts.firstHandle + m_fonts.capacity))
        .u16(0);                 // size and record count: completed in finish()
    header.u32(0).u32(0).u32(0); // no description, no palette
    header.i32(deviceUnits).i32(deviceUnits).i32(3175).i32(3175);
    header.u32(0).u32(0).u32(0);      // no pixel format, no OpenGL
    header.i32(3175000).i32(3175000); // the device in micrometres
    append(header);

    append(Record(EMR_SETMAPMODE).u32(1));     // MM_TEXT: logical unit = device unit
    append(Record(EMR_SETBKMODE).u32(1));      // TRANSPARENT
    append(Record(EMR_SETTEXTALIGN).u32(24));  // TA_BASELINE | TA_LEFT
    append(Record(EMR_SETMITERLIMIT).u32(10)); // PDF's default
}

void EmfWriter::append(const Record& record)
{
    m_data += record.finished();
    ++m_records;
}

void EmfWriter::saveDC()
{
    append(Record(EMR_SAVEDC));
    m_savedAligns.push_back(m_textAlign);
}

void EmfWriter::restoreDC()
{
    append(Record(EMR_RESTOREDC).i32(-1));
    m_pens.selected = m_brushes.selected = m_fonts.selected = -1;
    m_fillMode = -1;
    m_textColor = -1;
    if (!m_savedAligns.empty()) {
        m_textAlign = m_savedAligns.back();
        m_savedAligns.pop_back();
    }
}

void EmfWriter::select(uint32_t handle)
{
    append(Record(EMR_SELECTOBJECT).u32(handle));
}

void EmfWriter::deleteObject(uint32_t handle)
{
    append(Record(EMR_DELETEOBJECT).u32(handle));
}

void EmfWriter::useObject(ObjectTable& table, uint32_t createType, const QByteArray& body,
                          double creationScaleX)
{
    ++table.clock;
    for (size_t i = 0; i < table.entries.size(); ++i) {
        if (table.entries[i].body == body) {
            table.entries[i].used = table.clock;
            if (table.selected != int(i))
                select(table.entries[i].handle);
            table.selected = int(i);
            return;
        }
    }
    size_t slot = table.entries.size();
    if (slot < size_t(table.capacity)) {
        table.entries.push_back({body, table.firstHandle + uint32_t(slot), table.clock});
    } else {
        // The least recently used one goes; never the selected one, which GDI will not delete.
        slot = table.selected == 0 ? 1 : 0;
        for (size_t i = 0; i < table.entries.size(); ++i) {
            if (int(i) != table.selected && table.entries[i].used < table.entries[slot].used)
                slot = i;
        }
        deleteObject(table.entries[slot].handle);
        table.entries[slot].body = body;
        table.entries[slot].used = table.clock;
    }
    if (creationScaleX != 1)
        append(Record(EMR_SETWORLDTRANSFORM).f32(float(creationScaleX)).f32(0).f32(0).f32(1).f32(0).f32(0));
    append(Record(createType).u32(table.entries[slot].handle).bytes(body.constData(), body.size()));
    if (creationScaleX != 1)
        append(Record(EMR_MODIFYWORLDTRANSFORM)
                   .f32(1)
                   .f32(0)
                   .f32(0)
                   .f32(1)
                   .f32(0)
                   .f32(0)
                   .u32(1 /*MWT_IDENTITY*/));
    select(table.entries[slot].handle);
    table.selected = int(slot);
}

void EmfWriter::selectBrush(EmfColor color)
{
    useObject(m_brushes, EMR_CREATEBRUSHINDIRECT, Record(0).u32(0 /*BS_SOLID*/).u32(color).u32(0).body());
}

void EmfWriter::selectPen(const EmfPen& pen)
{
    static const uint32_t caps[] = {0x200 /*FLAT*/, 0x000 /*ROUND*/, 0x100 /*SQUARE*/};
    static const uint32_t joins[] = {0x2000 /*MITER*/, 0x0000 /*ROUND*/, 0x1000 /*BEVEL*/};
    const uint32_t style = 0x10000 /*PS_GEOMETRIC*/ | (pen.dashes.empty() ? 0 : 7 /*PS_USERSTYLE*/) |
                           caps[pen.cap] | joins[pen.join];
    Record body(0);
    body.u32(0).u32(0).u32(0).u32(0); // no brush bitmap
    body.u32(style).u32(uint32_t(std::max(pen.width, 1))).u32(0 /*BS_SOLID*/).u32(pen.color).u32(0);
    body.u32(uint32_t(pen.dashes.size()));
    for (uint32_t d : pen.dashes)
        body.u32(std::max(d, 1u));
    useObject(m_pens, EMR_EXTCREATEPEN, body.body());
}

void EmfWriter::selectFont(const EmfFont& font)
{
    Record body(0);
    body.i32(-std::max(font.height, 1)).i32(font.width).i32(font.escapement).i32(font.escapement);
    body.i32(font.weight);
    // italic, underline, strike-out, DEFAULT_CHARSET, OUT_TT_PRECIS, default clipping, ANTIALIASED,
    // default pitch
    const char flags[8] = {char(font.italic ? 1 : 0), 0, 0, 1, 4, 0, 4, 0};
    body.bytes(flags, 8);
    char face[64] = {};
    const QString name = font.face.left(31);
    for (int i = 0; i < name.size(); ++i)
        qToLittleEndian(name.at(i).unicode(), face + 2 * i);
    body.bytes(face, 64);
    // Narrowed or widened glyphs: GDI divides lfWidth by the face's OS/2 average width, the office's
    // reader by the mean advance of the printable ASCII characters, and the two differ (0.51 and 0.63
    // em in DejaVu Serif, 0.99 and 0.57 in Noto Serif CJK). The office's reader also maps a font's
    // size through the world transform in force when the font is created, which GDI ignores; a
    // horizontal scale around the creation record alone gives the office its own width.
    const double officeScale =
        font.width != 0 && font.asciiWidth != 0 ? double(font.asciiWidth) / font.width : 1;
    useObject(m_fonts, EMR_EXTCREATEFONTINDIRECTW, body.body(), officeScale);
}

void EmfWriter::setPolyFillMode(bool winding)
{
    if (m_fillMode == int(winding))
        return;
    append(Record(EMR_SETPOLYFILLMODE).u32(winding ? 2 : 1));
    m_fillMode = int(winding);
}

void EmfWriter::setTextColor(EmfColor color)
{
    if (m_textColor == int64_t(color))
        return;
    append(Record(EMR_SETTEXTCOLOR).u32(color));
    m_textColor = color;
}

void EmfWriter::writePath(const EmfPath& path)
{
    append(Record(EMR_BEGINPATH));
    for (const EmfFigure& figure : path) {
        if (figure.points.empty())
            continue;
        append(Record(EMR_MOVETOEX).i32(figure.points[0].x).i32(figure.points[0].y));
        size_t i = 1;
        while (i < figure.points.size()) {
            // A run of lines, or a run of curves (three points each), as one record.
            const bool curve = figure.curve[i];
            size_t end = i;
            while (end < figure.points.size() && figure.curve[end] == curve)
                end += curve ? 3 : 1;
            end = std::min(end, figure.points.size());
            const EmfPoint* points = figure.points.data() + i;
            const size_t count = end - i;
            EmfRect bounds = boundsOf({EmfFigure{{points, points + count}, {}, false}});
            const bool small = fits16(points, count);
            Record record(curve ? (small ? EMR_POLYBEZIERTO16 : EMR_POLYBEZIERTO)
                                : (small ? EMR_POLYLINETO16 : EMR_POLYLINETO));
            record.rect(bounds).u32(uint32_t(count));
            for (size_t k = 0; k < count; ++k) {
                if (small)
                    record.u16(uint16_t(int16_t(points[k].x))).u16(uint16_t(int16_t(points[k].y)));
                else
                    record.i32(points[k].x).i32(points[k].y);
            }
            append(record.pad());
            i = end;
        }
        if (figure.closed)
            append(Record(EMR_CLOSEFIGURE));
    }
    append(Record(EMR_ENDPATH));
}

void EmfWriter::fillPath(const EmfPath& path, EmfColor color, bool winding)
{
    selectBrush(color);
    setPolyFillMode(winding);
    writePath(path);
    append(Record(EMR_FILLPATH).rect(boundsOf(path)));
}

void EmfWriter::strokePath(const EmfPath& path, const EmfPen& pen)
{
    selectPen(pen);
    writePath(path);
    append(Record(EMR_STROKEPATH).rect(boundsOf(path)));
}

void EmfWriter::clipPath(const EmfPath& path, bool winding)
{
    setPolyFillMode(winding);
    writePath(path);
    append(Record(EMR_SELECTCLIPPATH).u32(1 /*RGN_AND*/));
}

void EmfWriter::setTextAlign(uint32_t align)
{
    if (m_textAlign == align)
        return;
    append(Record(EMR_SETTEXTALIGN).u32(align));
    m_textAlign = align;
}

void EmfWriter::text(EmfPoint origin, const QString& text, const std::vector<int32_t>& dx,
                     const EmfFont& font, EmfColor color)
{
    if (text.isEmpty())
        return;
    selectFont(font);
    setTextColor(color);
    setTextAlign(24 /*TA_BASELINE | TA_LEFT*/);
    int64_t advance = 0;
    for (int32_t d : dx)
        advance += d;
    // Bounds of the run on an unrotated baseline; readers use them only as a hint.
    const int32_t h = std::max(font.height, 1);
    const EmfRect bounds{origin.x, origin.y - h, int32_t(origin.x + std::max<int64_t>(advance, 0)),
                         origin.y + h / 3};
    std::vector<int32_t> advances(size_t(text.size()), 0);
    std::copy_n(dx.begin(), std::min(dx.size(), advances.size()), advances.begin());
    writeText(bounds, origin, text, 0, advances);
}

void EmfWriter::rightToLeftText(EmfPoint rightEnd, const QString& text, int32_t width, const EmfFont& font,
                                EmfColor color)
{
    if (text.isEmpty())
        return;
    selectFont(font);
    setTextColor(color);
    setTextAlign(26 /*TA_BASELINE | TA_RIGHT*/);
    const int32_t h = std::max(font.height, 1);
    const EmfRect bounds{rightEnd.x - std::max(width, 0), rightEnd.y - h, rightEnd.x, rightEnd.y + h / 3};
    writeText(bounds, rightEnd, text, ETO_RTLREADING, {});
}

void EmfWriter::writeText(const EmfRect& bounds, EmfPoint reference, const QString& text, uint32_t options,
                          const std::vector<int32_t>& dx)
{
    const uint32_t chars = uint32_t(text.size());
    const uint32_t stringOffset = 76;
    const uint32_t dxOffset = dx.empty() ? 0 : stringOffset + ((chars * 2 + 3) & ~3u);
    Record record(EMR_EXTTEXTOUTW);
    record.rect(bounds).u32(1 /*GM_COMPATIBLE*/).f32(0).f32(0);
    record.i32(reference.x).i32(reference.y).u32(chars).u32(stringOffset).u32(options).rect({}).u32(dxOffset);
    for (QChar c : text)
        record.u16(c.unicode());
    record.pad();
    for (int32_t d : dx)
        record.i32(d);
    append(record);
}

namespace {

// BITMAPINFOHEADER of a bottom-up DIB.
void dibHeader(QByteArray& out, int width, int height, int bits)
{
    char b[40] = {};
    qToLittleEndian<uint32_t>(40, b);
    qToLittleEndian<int32_t>(width, b + 4);
    qToLittleEndian<int32_t>(height, b + 8);
    qToLittleEndian<uint16_t>(1, b + 12);
    qToLittleEndian<uint16_t>(uint16_t(bits), b + 14);
    out.append(b, 40);
}

// Rows bottom first, each padded to four bytes.
QByteArray dibRows(int width, int height, int bytesPerPixel, const std::vector<uint8_t>& pixels)
{
    const int stride = (width * bytesPerPixel + 3) & ~3;
    QByteArray rows(qsizetype(stride) * height, '\0');
    for (int y = 0; y < height; ++y)
        memcpy(rows.data() + qsizetype(height - 1 - y) * stride,
               pixels.data() + size_t(y) * width * bytesPerPixel, size_t(width) * bytesPerPixel);
    return rows;
}

} // namespace

void EmfWriter::bitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgr)
{
    QByteArray info;
    dibHeader(info, width, height, 24);
    const QByteArray rows = dibRows(width, height, 3, bgr);
    const uint32_t infoOffset = 80;
    Record record(EMR_STRETCHDIBITS);
    record.rect(target).i32(target.left).i32(target.top).i32(0).i32(0).i32(width).i32(height);
    record.u32(infoOffset).u32(40).u32(infoOffset + 40).u32(uint32_t(rows.size()));
    record.u32(0 /*DIB_RGB_COLORS*/).u32(0x00CC0020 /*SRCCOPY*/);
    record.i32(target.right - target.left).i32(target.bottom - target.top);
    record.bytes(info.constData(), info.size()).bytes(rows.constData(), rows.size());
    append(record);
}

void EmfWriter::alphaBitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgra)
{
    QByteArray info;
    dibHeader(info, width, height, 32);
    const QByteArray rows = dibRows(width, height, 4, bgra);
    const uint32_t infoOffset = 108;
    Record record(EMR_ALPHABLEND);
    record.rect(target).i32(target.left).i32(target.top);
    record.i32(target.right - target.left).i32(target.bottom - target.top);
    record.u32(0x01FF0000); // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA
    record.i32(0).i32(0);
    record.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0); // source transform: identity
    record.u32(0).u32(0 /*DIB_RGB_COLORS*/);
    record.u32(infoOffset).u32(40).u32(infoOffset + 40).u32(uint32_t(rows.size()));
    record.i32(width).i32(height);
    record.bytes(info.constData(), info.size()).bytes(rows.constData(), rows.size());
    append(record);
}

QByteArray EmfWriter::finish()
{
    // EMR_EOF: no palette, its own size repeated at the end.
    append(Record(EMR_EOF).u32(0).u32(16).u32(20));
    qToLittleEndian(uint32_t(m_data.size()), m_data.data() + 48);
    qToLittleEndian(m_records, m_data.data() + 52);
    return std::move(m_data);
}

} // namespace quillet::pdfemf
