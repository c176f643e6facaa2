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
        content.bitmaps += drawsBitmap(b, at, type, uint32_t(size)) ? 1 : 0;
        content.paths += type >= EMR_FILLPATH && type <= EMR_STROKEPATH ? 1 : 0;
    }
    if (type != EMR_EOF)
        content.fault = QStringLiteral("last record is %1, not EMR_EOF").arg(type);
    return content;
}

} // namespace quillet::pdfemf
