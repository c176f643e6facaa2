#pragma once

#include <QByteArray>
#include <QImage>

namespace quillet::pdfpages {

// An opaque page raster (QImage::Format_RGB32) as an 8-bit RGB PNG that records its resolution;
// empty when libpng fails. Packed for speed over size: each row against the one above (which suits
// pictures) and zlib's run-length strategy (which suits the white of a page), about five times as
// fast as libpng's defaults for a fifth more bytes on text pages.
QByteArray encodePng(const QImage& image, int dpi);

} // namespace quillet::pdfpages
