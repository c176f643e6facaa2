#pragma once

// Checks of the pictures the engine delivers, made from the bytes alone so that a test never trusts
// the engine that produced them.

#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>
#include <cstdlib>
#include <gtest/gtest.h>

namespace quillet::testing {

inline quint32 U32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// Words (white-space separated) of a PDF page that the EMF's texts lack; a word split over several
// text records still counts as present.
inline QStringList WordsMissing(const QString& pdfText, QString emfText)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    emfText.remove(space);
    QStringList words = pdfText.split(space, Qt::SkipEmptyParts);
    words.removeIf([&](const QString& word) { return emfText.contains(word); });
    return words;
}

inline ::testing::AssertionResult Verdict(const QString& problem)
{
    return problem.isEmpty() ? ::testing::AssertionSuccess()
                             : ::testing::AssertionFailure() << problem.toStdString();
}

// What an EMF holds, read as far as its structure allows: header record (type 1) at offset 0, " EMF"
// at 40, the size field at 48 equal to the byte count, a chain of records each 4-byte aligned that
// ends exactly at the end with EMR_EOF (14); `fault` says which of these does not hold.
struct EmfWalk
{
    QString fault;
    QStringList texts; // of the EMR_EXTTEXTOUTW records (UTF-16), in record order
    int bitmaps = 0;   // records that draw a bitmap: the pictures drawn on the page
};

inline EmfWalk WalkEmf(const QByteArray& bytes)
{
    if (bytes.size() < 88 || U32At(bytes, 0) != 1 || U32At(bytes, 40) != 0x464D4520 ||
        U32At(bytes, 48) != quint32(bytes.size()))
        return {"no EMR_HEADER with \" EMF\" at 40 and the file's size at 48"};
    EmfWalk walk;
    quint32 type = 0;
    for (qsizetype offset = 0, size = 0; offset < bytes.size(); offset += size) {
        type = bytes.size() - offset < 8 ? 0 : U32At(bytes, offset);
        size = bytes.size() - offset < 8 ? 0 : U32At(bytes, offset + 4);
        if (size < 8 || size % 4 != 0 || size > bytes.size() - offset) {
            walk.fault = QString("record %1 at %2 has a bad size %3").arg(type).arg(offset).arg(size);
            return walk;
        }
        // EMR_EXTTEXTOUTW (84): 8 header, 16 bounds, 12 mode and scales, then EMRTEXT: 8 reference,
        // 4 character count, 4 string offset (from the record start).
        if (type == 84 && size >= 76) {
            const qsizetype chars = U32At(bytes, offset + 44), from = U32At(bytes, offset + 48);
            if (from + 2 * chars <= size)
                walk.texts
                    << QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(offset + from, 2 * chars));
        }
        // EMR_SETDIBITSTODEVICE (80) and EMR_STRETCHDIBITS (81) always carry a bitmap; EMR_BITBLT (76),
        // EMR_STRETCHBLT (77), EMR_ALPHABLEND (114) and EMR_TRANSPARENTBLT (116) when their cbBmiSrc
        // (offset 88) is not 0, else they fill a rectangle.
        const bool blit = type == 76 || type == 77 || type == 114 || type == 116;
        walk.bitmaps += type == 80 || type == 81 || (blit && size >= 92 && U32At(bytes, offset + 88) != 0);
    }
    if (type != 14)
        walk.fault = QString("last record is %1, not EMR_EOF").arg(type);
    return walk;
}

inline ::testing::AssertionResult IsWellFormedEmf(const QByteArray& bytes)
{
    return Verdict(WalkEmf(bytes).fault);
}

// BMP: "BM", the size field at 2 equal to the byte count, and Qt can load it.
inline ::testing::AssertionResult IsWellFormedBmp(const QByteArray& bytes)
{
    if (bytes.size() < 26 || !bytes.startsWith("BM") || U32At(bytes, 2) != quint32(bytes.size()))
        return Verdict("no \"BM\" header holding the file's size");
    return Verdict(QImage::fromData(bytes).isNull() ? "Qt cannot load the BMP" : "");
}

// The centre pixel is `color`, give or take 12 in each channel (scaling blurs the edges).
inline ::testing::AssertionResult IsColor(const QImage& image, QRgb color)
{
    if (image.isNull())
        return Verdict("no picture");
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    for (const int shift : {0, 8, 16})
        if (std::abs(int(centre >> shift & 0xff) - int(color >> shift & 0xff)) > 12)
            return Verdict(QString("centre is %1, not %2").arg(QColor(centre).name(), QColor(color).name()));
    return Verdict("");
}

} // namespace quillet::testing
