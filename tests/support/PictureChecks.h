#pragma once

// Checks of the pictures the engine delivers, made from the bytes alone so that a test never trusts
// the engine that produced them.

#include "pdfemf/EmfRecords.h"

#include <QColor>
#include <QImage>
#include <QRegularExpression>
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
// text records still counts as present. pdftotext gives words in reading order, with marks of the
// writing direction around right-to-left runs that are no text; both texts are compared as a
// search that normalizes them (NFKC) would, so a vertical form "︒" is the "。" of the page.
// Private-use characters (a symbol font's bullets) mean something only in their own font: the EMF
// draws them as glyph outlines, not as text.
inline QStringList WordsMissing(QString pdfText, QString emfText)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    static const QRegularExpression noText(
        QStringLiteral("[\\x{200e}\\x{200f}\\x{202a}-\\x{202e}\\x{e000}-\\x{f8ff}]"));
    emfText = emfText.normalized(QString::NormalizationForm_KC).remove(space);
    QStringList words =
        pdfText.remove(noText).normalized(QString::NormalizationForm_KC).split(space, Qt::SkipEmptyParts);
    words.removeIf([&](const QString& word) { return emfText.contains(word); });
    return words;
}

inline ::testing::AssertionResult Verdict(const QString& problem)
{
    return problem.isEmpty() ? ::testing::AssertionSuccess()
                             : ::testing::AssertionFailure() << problem.toStdString();
}

inline ::testing::AssertionResult IsWellFormedEmf(const QByteArray& bytes)
{
    return Verdict(pdfemf::readEmf(bytes).fault);
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
