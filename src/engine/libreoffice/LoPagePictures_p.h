#pragma once

// Vector EMF pictures of a Writer document's pages. Writer has no vector EMF export of its own, so
// the document is exported once to PDF, the PDF is opened hidden in Draw (one Draw page per page),
// and each Draw page is exported as EMF on demand. The Draw copy and the files live until close().
// Every method makes remote calls: call them inside LibreOfficeSession::guarded().

#include <QByteArray>
#include <QString>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace quillet::lo {

namespace css = com::sun::star;

class LoPagePictures
{
public:
    // workDir: a private folder for the PDF and the page files.
    LoPagePictures(css::uno::Reference<css::lang::XComponent> document, QString workDir);

    bool prepared() const { return m_drawPages.is(); }
    // Exports the document to PDF and opens it in Draw (once).
    void prepare(const css::uno::Reference<css::frame::XDesktop2>& desktop);
    // EMF bytes of layout page `page` (from 1); empty when the document has no such page.
    QByteArray emfOfPage(const css::uno::Reference<css::uno::XComponentContext>& context, int page);
    // Closes the Draw copy and removes the files. Safe to repeat.
    void close();

private:
    css::uno::Reference<css::lang::XComponent> m_document;
    QString m_workDir;
    css::uno::Reference<css::lang::XComponent> m_drawCopy;
    css::uno::Reference<css::container::XIndexAccess> m_drawPages;
};

} // namespace quillet::lo
