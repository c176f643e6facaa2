#include "support/PictureChecks.h"

#include <QColor>
#include <QtEndian>
#include <cstdlib>

namespace quillet::testing {

namespace {

quint32 u32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

::testing::AssertionResult verdict(const QString& problem)
{
    if (problem.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem.toStdString();
}

// Calls visit(type, offset, size) for every record; returns an empty string or what is wrong.
template <class Visit> QString walkRecords(const QByteArray& bytes, Visit&& visit)
{
    qsizetype offset = 0;
    quint32 lastType = 0;
    while (offset < bytes.size()) {
        const quint32 type = bytes.size() - offset < 8 ? 0 : u32At(bytes, offset);
        const quint32 size = bytes.size() - offset < 8 ? 0 : u32At(bytes, offset + 4);
        if (size < 8 || size % 4 != 0 || size > static_cast<quint64>(bytes.size() - offset))
            return QStringLiteral("record %1 at %2 has a bad size %3").arg(type).arg(offset).arg(size);
        visit(type, offset, size);
        lastType = type;
        offset += size;
    }
    return lastType == 14 ? QString() : QStringLiteral("last record is %1, not EMR_EOF").arg(lastType);
}

} // namespace

::testing::AssertionResult IsWellFormedEmf(const QByteArray& bytes)
{
    if (bytes.size() < 88 || u32At(bytes, 0) != 1 || u32At(bytes, 40) != 0x464D4520 ||
        u32At(bytes, 48) != static_cast<quint32>(bytes.size()))
        return verdict(QStringLiteral("no EMR_HEADER with \" EMF\" at 40 and the file's size at 48"));
    return verdict(walkRecords(bytes, [](quint32, qsizetype, quint32) {}));
}

QStringList EmfTexts(const QByteArray& bytes)
{
    QStringList texts;
    walkRecords(bytes, [&](quint32 type, qsizetype offset, quint32 size) {
        // EMR_EXTTEXTOUTW (84): 8 header, 16 bounds, 12 mode and scales, then EMRTEXT: 8 reference,
        // 4 character count, 4 string offset (from the record start).
        if (type != 84 || size < 76)
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
        // EMR_SETDIBITSTODEVICE (80), EMR_STRETCHDIBITS (81); EMR_BITBLT (76), EMR_STRETCHBLT (77),
        // EMR_ALPHABLEND (114), EMR_TRANSPARENTBLT (116).
        if (type == 80 || type == 81) {
            ++count;
        } else if ((type == 76 || type == 77 || type == 114 || type == 116) &&
                   size >= 92 && u32At(bytes, offset + 88) != 0) {
            ++count;
        }
    });
    return count;
}

::testing::AssertionResult IsWellFormedBmp(const QByteArray& bytes)
{
    if (bytes.size() < 26 || !bytes.startsWith("BM") || u32At(bytes, 2) != static_cast<quint32>(bytes.size()))
        return verdict(QStringLiteral("no \"BM\" header holding the file's size"));
    return verdict(DecodeImage(bytes).isNull() ? QStringLiteral("Qt cannot load the BMP") : QString());
}

::testing::AssertionResult IsColor(const QImage& image, QRgb color)
{
    const QColor sampled =
        image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    const QColor expected(color);
    const bool near = sampled.isValid() && std::abs(sampled.red() - expected.red()) <= 12 &&
                      std::abs(sampled.green() - expected.green()) <= 12 &&
                      std::abs(sampled.blue() - expected.blue()) <= 12;
    return verdict(near ? QString()
                        : QStringLiteral("centre is %1, not %2").arg(sampled.name(), expected.name()));
}

} // namespace quillet::testing
