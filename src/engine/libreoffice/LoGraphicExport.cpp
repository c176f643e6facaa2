#include "engine/EngineError.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QFile>
#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

namespace quillet::lo {

using namespace css;
using uno::Any;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

QByteArray exportGraphic(const Reference<uno::XComponentContext>& context,
                         const Reference<lang::XComponent>& source, const QString& mediaType,
                         const QString& path, QSize pixelSize)
{
    Reference<uno::XInterface> filter = context->getServiceManager()->createInstanceWithContext(
        "com.sun.star.drawing.GraphicExportFilter", context);
    Reference<document::XExporter>(filter, UNO_QUERY_THROW)->setSourceDocument(source);
    auto arguments = props({{"URL", Any(fileUrl(path))}, {"MediaType", Any(toOUString(mediaType))}});
    if (pixelSize.isValid()) {
        const auto size = props({{"PixelWidth", Any(sal_Int32(pixelSize.width()))},
                                 {"PixelHeight", Any(sal_Int32(pixelSize.height()))}});
        arguments.realloc(3);
        arguments.getArray()[2] =
            beans::PropertyValue("FilterData", 0, Any(size), beans::PropertyState_DIRECT_VALUE);
    }
    Reference<document::XFilter>(filter, UNO_QUERY_THROW)->filter(arguments);
    return takeFile(path);
}

QByteArray takeFile(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    file.close();
    QFile::remove(path);
    return bytes;
}

QByteArray renderPictureFile(const Reference<frame::XDesktop2>& desktop,
                             const Reference<uno::XComponentContext>& context, const QString& picture,
                             QSize pixelSize, const QString& workDir)
{
    const Reference<lang::XComponent> drawing = desktop->loadComponentFromURL(
        fileUrl(picture), "_blank", 0, props({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}}));
    if (!drawing.is())
        throw EngineError(ErrorNumber::OpenFailed, QStringLiteral("图片内容无法识别。"));
    struct Closer
    {
        Reference<lang::XComponent> component;
        ~Closer()
        {
            try {
                closeComponent(component);
            } catch (...) {
                // A lost office takes the drawing with it.
            }
        }
    } closer{drawing};
    Reference<drawing::XDrawPagesSupplier> pages(drawing, UNO_QUERY);
    if (!pages.is() || pages->getDrawPages()->getCount() < 1)
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("图片内容无法识别。"));
    Reference<drawing::XDrawPage> page(pages->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
    if (page->getCount() < 1)
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("图片是空的。"));
    // The import shrinks a picture larger than the page's printable area into it, and a shape is
    // exported through a metafile of its own, which moves text lines by a pixel: the picture goes at
    // its own size on a page of exactly that size, and the page is drawn.
    Reference<drawing::XShape> drawn(page->getByIndex(0), UNO_QUERY_THROW);
    Reference<beans::XPropertySet> graphic;
    Reference<beans::XPropertySet>(drawn, UNO_QUERY_THROW)->getPropertyValue("Graphic") >>= graphic;
    awt::Size size = drawn->getSize();
    if (graphic.is())
        graphic->getPropertyValue("Size100thMM") >>= size;
    if (size.Width <= 0 || size.Height <= 0)
        size = drawn->getSize();
    Reference<beans::XPropertySet> pageProperties(page, UNO_QUERY_THROW);
    pageProperties->setPropertyValue("Width", Any(size.Width));
    pageProperties->setPropertyValue("Height", Any(size.Height));
    for (const char* border : {"BorderLeft", "BorderRight", "BorderTop", "BorderBottom"})
        pageProperties->setPropertyValue(OUString::createFromAscii(border), Any(sal_Int32(0)));
    drawn->setPosition(awt::Point(0, 0));
    drawn->setSize(size);
    return exportGraphic(context, Reference<lang::XComponent>(page, UNO_QUERY_THROW),
                         QStringLiteral("image/png"), workDir + QStringLiteral("/rendered.png"), pixelSize);
}

void closeComponent(const Reference<lang::XComponent>& component)
{
    if (!component.is())
        return;
    Reference<util::XCloseable> closeable(component, UNO_QUERY);
    try {
        if (closeable.is()) {
            closeable->close(true);
            return;
        }
    } catch (const util::CloseVetoException&) {
        // Someone still works on it; dispose below ends it all the same.
    }
    component->dispose();
}

} // namespace quillet::lo
