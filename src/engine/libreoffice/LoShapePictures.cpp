#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoShapePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XEmbeddedObjectSupplier2.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>

namespace quillet::lo {

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

std::vector<Reference<drawing::XShape>> listShapes(const Reference<frame::XModel>& model, bool inlineObjects)
{
    Reference<drawing::XDrawPageSupplier> supplier(model, UNO_QUERY_THROW);
    Reference<container::XIndexAccess> page(supplier->getDrawPage(), UNO_QUERY_THROW);
    std::vector<Reference<drawing::XShape>> shapes;
    for (sal_Int32 i = 0, count = page->getCount(); i < count; ++i) {
        Reference<drawing::XShape> shape(page->getByIndex(i), UNO_QUERY);
        Reference<beans::XPropertySet> properties(shape, UNO_QUERY);
        if (!properties.is())
            continue;
        text::TextContentAnchorType anchor = text::TextContentAnchorType_AT_PARAGRAPH;
        properties->getPropertyValue("AnchorType") >>= anchor;
        if ((anchor == text::TextContentAnchorType_AS_CHARACTER) == inlineObjects)
            shapes.push_back(shape);
    }
    return shapes;
}

QByteArray normalisedBmp(const QByteArray& picture)
{
    const QImage image = QImage::fromData(picture);
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return {};
    return bytes;
}

namespace {

// A picture the document holds (not a drawing) as BMP bytes; empty when there is none. The graphic
// provider writes no BMP (an empty file), so it writes PNG and Qt turns that into BMP.
QByteArray storedAsBmp(const Reference<uno::XComponentContext>& context,
                       const Reference<graphic::XGraphic>& picture, const QString& workDir)
{
    if (!picture.is())
        return {};
    const QString path = workDir + QStringLiteral("/object.png");
    graphic::GraphicProvider::create(context)->storeGraphic(
        picture, props({{"URL", uno::Any(fileUrl(path))}, {"MimeType", uno::Any(OUString("image/png"))}}));
    return normalisedBmp(takeFile(path));
}

} // namespace

QByteArray bmpOfShape(const Reference<uno::XComponentContext>& context,
                      const Reference<drawing::XShape>& shape, const QString& workDir)
{
    Reference<lang::XServiceInfo> info(shape, UNO_QUERY);
    if (info.is() && info->supportsService("com.sun.star.text.TextFrame"))
        return {};
    // An embedded object (a chart, a formula) is no drawing the export filter can take: the page
    // shows its replacement picture.
    if (info.is() && info->supportsService("com.sun.star.text.TextEmbeddedObject")) {
        Reference<document::XEmbeddedObjectSupplier2> embedded(shape, UNO_QUERY_THROW);
        return storedAsBmp(context, embedded->getReplacementGraphic(), workDir);
    }
    Reference<lang::XComponent> source(shape, UNO_QUERY_THROW);
    // The filter's own BMP of a drawn shape carries a wrong size field: rewrite it through Qt.
    return normalisedBmp(exportGraphic(context, source, QStringLiteral("image/bmp"), workDir + "/shape.bmp"));
}

} // namespace quillet::lo
