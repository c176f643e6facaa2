#include "pdfemf/EmfRecords.h"

#include <QtEndian>
#include <map>

namespace quillet::pdfemf {

namespace {

class Bytes
{
public:
    explicit Bytes(const QByteArray& bytes) : m_bytes(bytes) {}
    bool has(qsizetype at, qsizetype count) const
    {
        return at >= 0 && count >= 0 && at + count <= m_bytes.size();
    }
    uint32_t u32(qsizetype at) const
    {
        return has(at, 4) ? qFromLittleEndian<quint32>(m_bytes.constData() + at) : 0;
    }
    int32_t i32(qsizetype at) const { return int32_t(u32(at)); }
    QString utf16(qsizetype at, qsizetype units) const
    {
        if (!has(at, 2 * units))
            return {};
        QString text(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(m_bytes.constData() + at + 2 * i));
        return text;
    }
    EmfRect rect(qsizetype at) const { return {i32(at), i32(at + 4), i32(at + 8), i32(at + 12)}; }
    QPoint point(qsizetype at, bool small) const
    {
        if (!small)
            return {i32(at), i32(at + 4)};
        const uint32_t xy = u32(at);
        return {int16_t(xy & 0xffff), int16_t(xy >> 16)};
    }

private:
    const QByteArray& m_bytes;
};

bool drawsBitmap(const Bytes& b, qsizetype at, uint32_t type, uint32_t size)
{
    // EMR_BITBLT, EMR_STRETCHBLT, EMR_ALPHABLEND and EMR_TRANSPARENTBLT fill a rectangle when their
    // cbBmiSrc (offset 88) is 0.
    if (type == EMR_SETDIBITSTODEVICE || type == EMR_STRETCHDIBITS)
        return true;
    const bool blit =
        type == EMR_BITBLT || type == EMR_STRETCHBLT || type == EMR_ALPHABLEND || type == EMR_TRANSPARENTBLT;
    return blit && size >= 92 && b.u32(at + 88) != 0;
}

// The pen, brush and path being built while the records are read.
struct DrawingState
{
    struct Pen
    {
        uint32_t style = 0;
        int32_t width = 0;
        uint32_t color = 0;
    };
    std::map<uint32_t, Pen> pens; // by handle
    std::map<uint32_t, uint32_t> brushes;
    Pen pen;
    uint32_t brush = 0;
    std::vector<std::vector<QPoint>> figures;

    void read(const Bytes& b, qsizetype at, uint32_t type, qsizetype size, std::vector<EmfPathRecord>& paths)
    {
        switch (type) {
        case EMR_CREATEPEN: // ihPen, LOGPEN: style, width (POINTL), colour
            pens[b.u32(at + 8)] = {b.u32(at + 12), b.i32(at + 16), b.u32(at + 24)};
            break;
        case EMR_EXTCREATEPEN: // ihPen, offBmi, cbBmi, offBits, cbBits, EXTLOGPEN32: style, width, brush,
                               // colour
            pens[b.u32(at + 8)] = {b.u32(at + 28), b.i32(at + 32), b.u32(at + 40)};
            break;
        case EMR_CREATEBRUSHINDIRECT: // ihBrush, LOGBRUSH32: style, colour, hatch
            brushes[b.u32(at + 8)] = b.u32(at + 16);
            break;
        case EMR_SELECTOBJECT:
            if (pens.count(b.u32(at + 8)))
                pen = pens[b.u32(at + 8)];
            else if (brushes.count(b.u32(at + 8)))
                brush = brushes[b.u32(at + 8)];
            break;
        case EMR_BEGINPATH:
            figures.clear();
            break;
        case EMR_MOVETOEX:
            figures.push_back({b.point(at + 8, false)});
            break;
        case EMR_POLYLINETO:
        case EMR_POLYBEZIERTO:
        case EMR_POLYLINETO16:
        case EMR_POLYBEZIERTO16: {
            // bounds, count, points
            const bool small = type == EMR_POLYLINETO16 || type == EMR_POLYBEZIERTO16;
            const qsizetype count = b.u32(at + 24), step = small ? 4 : 8;
            if (figures.empty() || 28 + count * step > size)
                break;
            for (qsizetype i = 0; i < count; ++i)
                figures.back().push_back(b.point(at + 28 + i * step, small));
            break;
        }
        case EMR_FILLPATH:
        case EMR_STROKEPATH:
        case EMR_STROKEANDFILLPATH:
        case EMR_SELECTCLIPPATH:
            paths.push_back({type, std::move(figures), pen.style, pen.width, pen.color, brush});
            figures.clear();
            break;
        default:
            break;
        }
    }
};

EmfBitmapRecord bitmapRecord(const Bytes& b, qsizetype at, uint32_t type)
{
    EmfBitmapRecord bitmap{type};
    qsizetype info = 0, bits = 0;
    if (type == EMR_STRETCHDIBITS) {
        // bounds, xDest, yDest, xSrc, ySrc, cxSrc, cySrc, offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc,
        // iUsageSrc, dwRop, cxDest, cyDest
        const int32_t x = b.i32(at + 24), y = b.i32(at + 28);
        bitmap.target = {x, y, x + b.i32(at + 72), y + b.i32(at + 76)};
        info = b.u32(at + 48);
        bits = b.u32(at + 56);
    } else if (type == EMR_ALPHABLEND) {
        // bounds, xDest, yDest, cxDest, cyDest, BLENDFUNCTION, xSrc, ySrc, xformSrc, crBkColorSrc,
        // iUsageSrc, offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc, cxSrc, cySrc
        const int32_t x = b.i32(at + 24), y = b.i32(at + 28);
        bitmap.target = {x, y, x + b.i32(at + 32), y + b.i32(at + 36)};
        bitmap.blend = b.u32(at + 40);
        info = b.u32(at + 84);
        bits = b.u32(at + 92);
    }
    if (info != 0) {
        bitmap.width = b.i32(at + info + 4);
        bitmap.height = b.i32(at + info + 8);
        bitmap.bitCount = int(b.u32(at + info + 12) >> 16);
        bitmap.bits = at + bits;
    }
    return bitmap;
}

} // namespace

QString EmfContent::text() const
{
    QString all;
    for (const EmfTextRecord& record : texts)
        all += record.text;
    return all;
}

std::optional<EmfRect> emfFrame(const QByteArray& header)
{
    const Bytes b(header);
    if (!b.has(0, 88) || b.u32(0) != EMR_HEADER || b.u32(40) != kEmfSignature)
        return std::nullopt;
    return b.rect(24);
}

EmfContent readEmf(const QByteArray& bytes)
{
    EmfContent content;
    const std::optional<EmfRect> frame = emfFrame(bytes);
    const Bytes b(bytes);
    if (!frame || b.u32(48) != quint32(bytes.size())) {
        content.fault = QStringLiteral("no EMR_HEADER with \" EMF\" at 40 and the file's size at 48");
        return content;
    }
    content.frame = *frame;
    std::map<uint32_t, EmfFontInfo> fonts; // by handle
    EmfFontInfo selected;
    DrawingState drawing;
    uint32_t type = 0;
    for (qsizetype at = 0, size = 0; at < bytes.size(); at += size) {
        type = b.u32(at);
        size = b.has(at, 8) ? qsizetype(b.u32(at + 4)) : 0;
        if (size < 8 || size % 4 != 0 || !b.has(at, size)) {
            content.fault = QStringLiteral("record %1 at %2 has a bad size %3").arg(type).arg(at).arg(size);
            return content;
        }
        content.types.push_back(type);
        if (type == EMR_EXTCREATEFONTINDIRECTW && size >= 104) {
            // ihFont, then LOGFONTW: height, width, escapement, orientation, weight, italic..., face.
            EmfFontInfo font{b.utf16(at + 40, 32), b.i32(at + 12), b.i32(at + 16),
                             b.i32(at + 20),       b.i32(at + 28), bytes.at(at + 32) != 0};
            font.face.truncate(font.face.indexOf(QChar(0)) < 0 ? font.face.size()
                                                               : font.face.indexOf(QChar(0)));
            fonts[b.u32(at + 8)] = font;
        } else if (type == EMR_SELECTOBJECT && fonts.count(b.u32(at + 8))) {
            selected = fonts[b.u32(at + 8)];
        } else if (type == EMR_EXTTEXTOUTW && size >= 76) {
            // 8 type and size, 16 bounds, 12 mode and scales, then EMRTEXT: reference point, character
            // count, string offset, options, rectangle, advances offset (offsets from the record start).
            const qsizetype chars = b.u32(at + 44), from = b.u32(at + 48), dxFrom = b.u32(at + 72);
            if (from + 2 * chars <= size) {
                EmfTextRecord text{
                    b.utf16(at + from, chars), selected, b.i32(at + 36), b.i32(at + 40), b.u32(at + 52), {}};
                if (dxFrom != 0 && dxFrom + 4 * chars <= size) {
                    for (qsizetype i = 0; i < chars; ++i)
                        text.dx.push_back(b.i32(at + dxFrom + 4 * i));
                }
                content.texts.push_back(std::move(text));
            }
        }
        drawing.read(b, at, type, size, content.pathRecords);
        if (drawsBitmap(b, at, type, uint32_t(size))) {
            ++content.bitmaps;
            if (type == EMR_STRETCHDIBITS || type == EMR_ALPHABLEND)
                content.bitmapRecords.push_back(bitmapRecord(b, at, type));
        }
        content.paths += type >= EMR_FILLPATH && type <= EMR_STROKEPATH ? 1 : 0;
    }
    if (type != EMR_EOF)
        content.fault = QStringLiteral("last record is %1, not EMR_EOF").arg(type);
    return content;
}

} // namespace quillet::pdfemf
