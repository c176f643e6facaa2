#pragma once

// Pictures of a Writer document's pages (vector EMF unless another format is chosen). Writer has no
// vector EMF export of its own, so the document is exported once to PDF in its private work folder,
// and each page's picture is written from that PDF in process (pdfpages/PagePictures.h). Only the
// export is a remote call. Page pictures are handed over while they are still being written; the PDF
// and its folder stay until the last of them is written, whether or not the document is still open.

#include "engine/Picture.h"
#include "pdfpages/PagePictures.h"

#include <QString>
#include <QTemporaryDir>
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

    bool prepared() const;
    // Opens the PDF exportPagesPdf() wrote in `folder`, which is kept as long as the PDF is;
    // EngineError when it cannot be read.
    void open(const QString& pdf, pdfpages::PageStyle style, std::shared_ptr<const QTemporaryDir> folder);
    // The picture of layout page `page` (from 1), still being written; empty when the document has no
    // such page. Its bytes are an EngineError when the page cannot be written in the chosen format.
    Picture pictureOfPage(int page);
    // Lets go of the PDF: its file goes once no picture handed over is still being written. Safe to
    // repeat.
    void close();

private:
    struct Pdf;
    std::shared_ptr<Pdf> m_pdf;
    QString m_format;
};

} // namespace quillet::lo
