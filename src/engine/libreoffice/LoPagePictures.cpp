#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QFile>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XStorable.hpp>

namespace quillet::lo {

using namespace css;
using uno::Any;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

LoPagePictures::LoPagePictures(Reference<lang::XComponent> document, QString workDir)
    : m_document(std::move(document)), m_workDir(std::move(workDir))
{}

void LoPagePictures::prepare(const Reference<frame::XDesktop2>& desktop)
{
    if (prepared())
        return;
    const QString pdf = m_workDir + QStringLiteral("/pages.pdf");
    // Blank pages the layout inserts stay in, so PDF page N is layout page N.
    uno::Sequence<beans::PropertyValue> filterData = props({{"IsSkipEmptyPages", Any(false)}});
    Reference<frame::XStorable>(m_document, UNO_QUERY_THROW)
        ->storeToURL(fileUrl(pdf), props({{"FilterName", Any(OUString("writer_pdf_Export"))},
                                          {"FilterData", Any(filterData)}}));

    m_drawCopy = desktop->loadComponentFromURL(fileUrl(pdf), "_blank", 0,
                                               props({{"FilterName", Any(OUString("draw_pdf_import"))},
                                                      {"Hidden", Any(true)},
                                                      {"ReadOnly", Any(true)}}));
    QFile::remove(pdf);
    Reference<drawing::XDrawPagesSupplier> supplier(m_drawCopy, UNO_QUERY_THROW);
    Reference<container::XIndexAccess> pages(supplier->getDrawPages(), UNO_QUERY_THROW);
    // Without borders the exported picture covers the whole page, as printed.
    for (sal_Int32 i = 0, count = pages->getCount(); i < count; ++i) {
        Reference<beans::XPropertySet> page(pages->getByIndex(i), UNO_QUERY_THROW);
        for (const char* border : {"BorderLeft", "BorderRight", "BorderTop", "BorderBottom"})
            page->setPropertyValue(OUString::createFromAscii(border), Any(sal_Int32(0)));
    }
    m_drawPages = pages;
}

QByteArray LoPagePictures::emfOfPage(const Reference<uno::XComponentContext>& context, int page)
{
    if (!prepared() || page < 1 || page > m_drawPages->getCount())
        return {};
    Reference<lang::XComponent> source(m_drawPages->getByIndex(page - 1), UNO_QUERY_THROW);
    return exportGraphic(context, source, QStringLiteral("image/x-emf"),
                         m_workDir + QStringLiteral("/page.emf"));
}

void LoPagePictures::close()
{
    m_drawPages.clear();
    const Reference<lang::XComponent> copy = std::move(m_drawCopy);
    m_drawCopy.clear();
    closeComponent(copy);
}

} // namespace quillet::lo
