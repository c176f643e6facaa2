#pragma once

// One writer per page format, each holding the PDF open in the form its library needs. A writer is
// used by one thread at a time.

#include "pdfpages/PagePictures.h"

#include <functional>
#include <memory>

namespace quillet::pdfpages {

// A page as far as its writer takes it, and the rest of the work when there is some (a raster's
// compression): the rest needs nothing of the writer, so it runs on an aside thread while the writer
// goes on with the next page.
struct WrittenPage
{
    PagePicture picture;
    std::function<PagePicture()> rest;
};

class PageWriter
{
public:
    virtual ~PageWriter() = default;
    virtual bool isOk() const = 0;
    virtual int pageCount() const = 0;
    // Page `page`, from 1 to pageCount().
    virtual WrittenPage write(int page) = 0;
};

// EMF from our own writer, and single-page PDFs, both on poppler's core document.
std::unique_ptr<PageWriter> makeEmfWriter(const QString& pdfPath);
std::unique_ptr<PageWriter> makePdfPageWriter(const QString& pdfPath);
// SVG (glyphs as outlines) and PNG (white paper, `dpi`) through poppler's cairo rendering.
std::unique_ptr<PageWriter> makeCairoWriter(const QString& pdfPath, PageFormat format, int dpi);

} // namespace quillet::pdfpages
