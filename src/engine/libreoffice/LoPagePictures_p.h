#pragma once

// Vector EMF pictures of a Writer document's pages. Writer has no vector EMF export of its own, so
// the document is exported once to PDF in its private work folder, and each page's metafile is
// written from that PDF in process (pdfemf/PdfEmf.h). Only the export is a remote call.

#include <QByteArray>
#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <memory>

namespace quillet::pdfemf {
class PdfDocument;
}

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

    bool prepared() const { return m_pdf != nullptr; }
    // Opens the PDF exportPagesPdf() wrote; EngineError when it cannot be read.
    void open(const QString& pdf);
    // EMF bytes of layout page `page` (from 1); empty when the document has no such page.
    QByteArray emfOfPage(int page);
    // Drops the PDF and removes its file. Safe to repeat.
    void close();

private:
    QString m_path;
    std::unique_ptr<pdfemf::PdfDocument> m_pdf;
};

} // namespace quillet::lo
