#pragma once

// Pictures of a Writer document's pages (vector EMF unless another format is chosen). Writer has no
// vector EMF export of its own, so the document is exported once to PDF in its private work folder,
// and each page's picture is written from that PDF in process (pdfpages/PagePictures.h). Only the
// export is a remote call.

#include "engine/Picture.h"
#include "pdfpages/PagePictures.h"

#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <memory>

namespace quillet::lo {

namespace css = com::sun::star;

// Stores `document` as `pdf` the way the page pictures need it: blank pages the layout inserts stay
// in, so PDF page N is layout page N, and comments stay out (a page shows no comment icon). A
// remote call: call it inside LibreOfficeSession::guarded().
void exportPagesPdf(const css::uno::Reference<css::lang::XComponent>& document, const QString& pdf);

class LoPagePictures
{
public:
    LoPagePictures();
    ~LoPagePictures();

    bool prepared() const { return m_pages != nullptr; }
    // Opens the PDF exportPagesPdf() wrote; EngineError when it cannot be read.
    void open(const QString& pdf, pdfpages::PageStyle style);
    // The picture of layout page `page` (from 1); empty when the document has no such page.
    // EngineError when the page cannot be written in the chosen format.
    Picture pictureOfPage(int page);
    // Drops the PDF and removes its file. Safe to repeat.
    void close();

private:
    QString m_path;
    QString m_format;
    std::unique_ptr<pdfpages::PagePictures> m_pages;
};

} // namespace quillet::lo
