#include "support/PictureChecks.h"

#include <QtEndian>

namespace quillet::testing {

namespace {

constexpr quint32 EmrHeader = 1;
constexpr quint32 EmrEof = 14;
constexpr quint32 EmrExtTextOutW = 84;
// Records that draw a bitmap.
constexpr quint32 EmrBitBlt = 76;
constexpr quint32 EmrStretchBlt = 77;
constexpr quint32 EmrSetDiBitsToDevice = 80;
constexpr quint32 EmrStretchDiBits = 81;
constexpr quint32 EmrAlphaBlend = 114;
constexpr quint32 EmrTransparentBlt = 116;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"

quint32 u32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Calls visit(type, offset, size) for every record; returns an empty string or what is wrong.
template <class Visit> QString walkRecords(const QByteArray& bytes, Visit&& visit)
{
    qsizetype offset = 0;
    quint32 lastType = 0;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 8)
            return QStringLiteral("truncated record at %1").arg(offset);
        const quint32 type = u32At(bytes, offset);
        const quint32 size = u32At(bytes, offset + 4);
        if (size < 8 || size % 4 != 0 || size > static_cast<quint64>(bytes.size() - offset))
            return QStringLiteral("record %1 at %2 has a bad size %3").arg(type).arg(offset).arg(size);
        visit(type, offset, size);
        lastType = type;
        offset += size;
    }
    if (lastType != EmrEof)
        return QStringLiteral("last record is %1, not EMR_EOF").arg(lastType);
    return {};
}

} // namespace

::testing::AssertionResult IsWellFormedEmf(const QByteArray& bytes)
{
    if (bytes.size() < 88)
        return ::testing::AssertionFailure() << "EMF too short: " << bytes.size() << " bytes";
    if (u32At(bytes, 0) != EmrHeader)
        return ::testing::AssertionFailure() << "first record is " << u32At(bytes, 0) << ", not EMR_HEADER";
    if (u32At(bytes, 40) != EmfSignature)
        return ::testing::AssertionFailure() << "no \" EMF\" signature at offset 40";
    if (u32At(bytes, 48) != static_cast<quint32>(bytes.size()))
        return ::testing::AssertionFailure()
               << "size field " << u32At(bytes, 48) << " differs from file size " << bytes.size();
    const QString problem = walkRecords(bytes, [](quint32, qsizetype, quint32) {});
    if (!problem.isEmpty())
        return ::testing::AssertionFailure() << problem.toStdString();
    return ::testing::AssertionSuccess();
}

QStringList EmfTexts(const QByteArray& bytes)
{
    QStringList texts;
    walkRecords(bytes, [&](quint32 type, qsizetype offset, quint32 size) {
        // EMR_EXTTEXTOUTW: 8 header, 16 bounds, 12 mode and scales, then EMRTEXT: 8 reference,
        // 4 character count, 4 string offset (from the record start).
        if (type != EmrExtTextOutW || size < 76)
            return;
        const quint32 chars = u32At(bytes, offset + 44);
        const quint32 stringOffset = u32At(bytes, offset + 48);
        if (stringOffset + static_cast<quint64>(chars) * 2 > size)
            return;
        QString text(static_cast<qsizetype>(chars), Qt::Uninitialized);
        for (quint32 i = 0; i < chars; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + offset + stringOffset + 2 * i));
        texts << text;
    });
    return texts;
}

int EmfBitmapCount(const QByteArray& bytes)
{
    // The DIB records always carry a bitmap; the blits only when their cbBmiSrc (offset 88) is not
    // 0, otherwise they fill a rectangle.
    int count = 0;
    walkRecords(bytes, [&](quint32 type, qsizetype offset, quint32 size) {
        if (type == EmrSetDiBitsToDevice || type == EmrStretchDiBits) {
            ++count;
        } else if ((type == EmrBitBlt || type == EmrStretchBlt || type == EmrAlphaBlend ||
                    type == EmrTransparentBlt) &&
                   size >= 92 && u32At(bytes, offset + 88) != 0) {
            ++count;
        }
    });
    return count;
}

::testing::AssertionResult IsWellFormedBmp(const QByteArray& bytes)
{
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return ::testing::AssertionFailure() << "no \"BM\" signature";
    if (u32At(bytes, 2) != static_cast<quint32>(bytes.size()))
        return ::testing::AssertionFailure()
               << "size field " << u32At(bytes, 2) << " differs from file size " << bytes.size();
    if (DecodeImage(bytes).isNull())
        return ::testing::AssertionFailure() << "Qt cannot load the BMP";
    return ::testing::AssertionSuccess();
}

QImage DecodeImage(const QByteArray& bytes)
{
    return QImage::fromData(bytes);
}

} // namespace quillet::testing
