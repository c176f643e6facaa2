#include "pdfpages/PngEncoding_p.h"

#include <cmath>
#include <csetjmp>
#include <png.h>
#include <vector>

namespace quillet::pdfpages {

namespace {

void appendTo(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

// Whether every pixel is a grey (red, green and blue alike), as on most pages of text.
bool isGrey(const QImage& image)
{
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixels[x];
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
                return false;
        }
    }
    return true;
}

} // namespace

QByteArray encodePng(const QImage& image, int dpi)
{
    if (image.format() != QImage::Format_RGB32 || image.isNull())
        return {};
    const bool grey = isGrey(image);
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<png_byte> row(size_t(image.width()) * (grey ? 1 : 3));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendTo, flushNothing);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto dotsPerMeter = png_uint_32(std::lround(dpi / 0.0254));
    png_set_pHYs(png, info, dotsPerMeter, dotsPerMeter, PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        png_byte* to = row.data();
        for (int x = 0; x < width; ++x) {
            if (grey) {
                *to++ = png_byte(qBlue(pixels[x]));
            } else {
                *to++ = png_byte(qRed(pixels[x]));
                *to++ = png_byte(qGreen(pixels[x]));
                *to++ = png_byte(qBlue(pixels[x]));
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace quillet::pdfpages
