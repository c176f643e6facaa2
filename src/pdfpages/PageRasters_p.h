#pragma once

#include <QImage>

namespace quillet::pdfpages {

// An opaque raster (QImage::Format_RGB32) of `width` x `height` pixels, not yet drawn on; null when
// there is no memory for it. Its pixels come back to be drawn on again once its last copy goes: a
// fresh page's worth of memory costs more in the system's page faults than drawing the page, and
// the pages of a document are mostly of one size. A few are kept, at most 64 MiB.
QImage pageRaster(int width, int height);

} // namespace quillet::pdfpages
