#pragma once

#include <QByteArray>
#include <QImage>

namespace quillet::pdfpages {

// An opaque page raster (QImage::Format_RGB32) as an 8-bit PNG that records its resolution, grey
// when every pixel is (most pages of text), else RGB; empty when libpng fails. Packed for speed over
// size: rows unfiltered and zlib's fastest level, which on pages of text is three times as fast as
// libpng's defaults and about as small (the up filter, tried too, made pages of text and small
// pictures slower by a sixth and larger by a tenth).
QByteArray encodePng(const QImage& image, int dpi);

} // namespace quillet::pdfpages
