#include "OfficePages.h"

#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QFile>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

namespace quillet::testing {

using namespace css;
using lo::OUString;
using uno::Any;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

constexpr std::chrono::minutes Deadline(5);

Reference<lang::XComponent> load(lo::LibreOfficeSession& session, const QString& path)
{
    return session.desktop()->loadComponentFromURL(
        lo::fileUrl(path), "_blank", 0, lo::props({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}}));
}

} // namespace

OfficePages::OfficePages(lo::LibreOfficeSession& session, QString workDir)
    : m_session(session), m_workDir(std::move(workDir))
{}

OfficePages::~OfficePages()
{
    try {
        m_session.guarded(Deadline, [&] { lo::closeComponent(m_canvas); });
    } catch (...) {
        // The office is gone already; nothing to close.
    }
}

void OfficePages::storeAs(const QString& source, const QString& target, const char* filter)
{
    m_session.guarded(Deadline, [&] {
        Reference<lang::XComponent> doc = load(m_session, source);
        Reference<frame::XStorable>(doc, UNO_QUERY_THROW)
            ->storeToURL(lo::fileUrl(target),
                         lo::props({{"FilterName", Any(OUString::createFromAscii(filter))}}));
        lo::closeComponent(doc);
    });
}

namespace {

void storePdf(const Reference<lang::XComponent>& doc, const QString& pdf)
{
    // The same export as the page pictures make: blank pages the layout inserts stay in.
    uno::Sequence<beans::PropertyValue> filterData = lo::props({{"IsSkipEmptyPages", Any(false)}});
    Reference<frame::XStorable>(doc, UNO_QUERY_THROW)
        ->storeToURL(lo::fileUrl(pdf), lo::props({{"FilterName", Any(OUString("writer_pdf_Export"))},
                                                  {"FilterData", Any(filterData)}}));
}

} // namespace

void OfficePages::exportPdf(const QString& document, const QString& pdf)
{
    m_session.guarded(Deadline, [&] {
        Reference<lang::XComponent> doc = load(m_session, document);
        storePdf(doc, pdf);
        lo::closeComponent(doc);
    });
}

std::vector<QByteArray> OfficePages::pdfAndDrawRoute(const QString& document, const QString& pdf)
{
    return m_session.guarded(Deadline, [&] {
        Reference<lang::XComponent> doc = load(m_session, document);
        storePdf(doc, pdf);
        lo::LoPagePictures pictures(doc, m_workDir);
        pictures.prepare(m_session.desktop());
        std::vector<QByteArray> pages;
        for (int page = 1;; ++page) {
            QByteArray emf = pictures.emfOfPage(m_session.context(), page);
            if (emf.isEmpty())
                break;
            pages.push_back(std::move(emf));
        }
        pictures.close();
        lo::closeComponent(doc);
        return pages;
    });
}

QImage OfficePages::render(const QByteArray& emf, QSizeF pageMm, QSize pixels)
{
    const QString emfPath = m_workDir + QStringLiteral("/render.emf");
    const QString pngPath = m_workDir + QStringLiteral("/render.png");
    QFile file(emfPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(emf) != emf.size())
        return {};
    file.close();
    m_session.guarded(Deadline, [&] {
        if (!m_canvas.is()) {
            m_canvas = m_session.desktop()->loadComponentFromURL("private:factory/sdraw", "_blank", 0,
                                                                 lo::props({{"Hidden", Any(true)}}));
        }
        Reference<drawing::XDrawPagesSupplier> supplier(m_canvas, UNO_QUERY_THROW);
        Reference<drawing::XDrawPage> page(supplier->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
        Reference<beans::XPropertySet> pageProps(page, UNO_QUERY_THROW);
        pageProps->setPropertyValue("Width", Any(sal_Int32(qRound(pageMm.width() * 100))));
        pageProps->setPropertyValue("Height", Any(sal_Int32(qRound(pageMm.height() * 100))));
        for (const char* border : {"BorderLeft", "BorderRight", "BorderTop", "BorderBottom"})
            pageProps->setPropertyValue(OUString::createFromAscii(border), Any(sal_Int32(0)));
        while (page->getCount() > 0)
            page->remove(Reference<drawing::XShape>(page->getByIndex(0), UNO_QUERY_THROW));

        Reference<graphic::XGraphicProvider> provider = graphic::GraphicProvider::create(m_session.context());
        Reference<graphic::XGraphic> graphic =
            provider->queryGraphic(lo::props({{"URL", Any(lo::fileUrl(emfPath))}}));
        // The picture at the size it declares, from the page's corner: a wrong frame shows.
        awt::Size size;
        Reference<beans::XPropertySet>(graphic, UNO_QUERY_THROW)->getPropertyValue("Size100thMM") >>= size;
        Reference<lang::XMultiServiceFactory> factory(m_canvas, UNO_QUERY_THROW);
        Reference<drawing::XShape> shape(factory->createInstance("com.sun.star.drawing.GraphicObjectShape"),
                                         UNO_QUERY_THROW);
        page->add(shape);
        Reference<beans::XPropertySet>(shape, UNO_QUERY_THROW)->setPropertyValue("Graphic", Any(graphic));
        shape->setPosition(awt::Point(0, 0));
        shape->setSize(size);

        uno::Sequence<beans::PropertyValue> filterData =
            lo::props({{"PixelWidth", Any(sal_Int32(pixels.width()))},
                       {"PixelHeight", Any(sal_Int32(pixels.height()))}});
        Reference<uno::XInterface> filter =
            m_session.context()->getServiceManager()->createInstanceWithContext(
                "com.sun.star.drawing.GraphicExportFilter", m_session.context());
        Reference<document::XExporter>(filter, UNO_QUERY_THROW)
            ->setSourceDocument(Reference<lang::XComponent>(page, UNO_QUERY_THROW));
        Reference<document::XFilter>(filter, UNO_QUERY_THROW)
            ->filter(lo::props({{"URL", Any(lo::fileUrl(pngPath))},
                                {"MediaType", Any(OUString("image/png"))},
                                {"FilterData", Any(filterData)}}));
    });
    QImage image(pngPath);
    QFile::remove(pngPath);
    QFile::remove(emfPath);
    return image;
}

} // namespace quillet::testing
