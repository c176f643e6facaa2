#pragma once

// Checks of the pictures the engine delivers, made from the bytes alone so that a test never trusts
// the engine that produced them.

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

namespace quillet::testing {

// EMF: header record (type 1) at offset 0, " EMF" at 40, the size field at 48 equal to the byte
// count, a chain of records each 4-byte aligned that ends exactly at the end with EMR_EOF (14).
::testing::AssertionResult IsWellFormedEmf(const QByteArray& bytes);
// The texts of an EMF's EMR_EXTTEXTOUTW records (UTF-16), in record order.
QStringList EmfTexts(const QByteArray& bytes);
// Records of an EMF that draw a bitmap (EMR_STRETCHDIBITS and the other blits that carry a source
// bitmap): the pictures drawn on the page.
int EmfBitmapCount(const QByteArray& bytes);
// BMP: "BM", the size field at 2 equal to the byte count, and Qt can load it.
::testing::AssertionResult IsWellFormedBmp(const QByteArray& bytes);
// The picture decoded by Qt (a null image when it cannot be read).
inline QImage DecodeImage(const QByteArray& bytes)
{
    return QImage::fromData(bytes);
}
// The centre pixel is `color`, give or take 12 in each channel (scaling blurs the edges).
::testing::AssertionResult IsColor(const QImage& image, QRgb color);

} // namespace quillet::testing
