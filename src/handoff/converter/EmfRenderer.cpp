#include "handoff/converter/EmfRenderer.h"

#include "convert/libreoffice/LibreOfficeSession.h"
#include "convert/libreoffice/LoPagePictures.h"
#include "convert/libreoffice/LoUno.h"

#include <QFile>
#include <QtEndian>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XExporter.hpp>
#include <com/sun/star/document/XFilter.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>

namespace quillet::tessora {

using namespace com::sun::star;
using uno::Any;

namespace {

// Larger pictures would need gigabytes in memory; no EMF of a document page comes near this.
constexpr int kMaxSide = 20000;

} // namespace

std::optional<QSize> emfPixelSize(const QByteArray& header, int dpi)
{
    // EMR_HEADER: type 1 at 0, the frame (left, top, right, bottom in 0.01 mm) at 24, " EMF" at 40.
    if (header.size() < 44)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    if (qFromLittleEndian<quint32>(bytes) != 1 || qFromLittleEndian<quint32>(bytes + 40) != 0x464D4520)
        return std::nullopt;
    const qint64 left = qFromLittleEndian<qint32>(bytes + 24);
    const qint64 top = qFromLittleEndian<qint32>(bytes + 28);
    const qint64 right = qFromLittleEndian<qint32>(bytes + 32);
    const qint64 bottom = qFromLittleEndian<qint32>(bytes + 36);
    const qint64 width = ((right - left) * dpi + 1270) / 2540;
    const qint64 height = ((bottom - top) * dpi + 1270) / 2540;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return std::nullopt;
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

EmfRenderer::EmfRenderer(int dpi) : m_dpi(dpi) {}

EmfRenderer::~EmfRenderer() = default; // the session stops its office and removes its profile

qint64 EmfRenderer::officePid() const
{
    return m_session ? m_session->pid() : 0;
}

RenderedPicture EmfRenderer::render(const QString& path)
{
    RenderedPicture rendered;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        rendered.error = QStringLiteral("无法打开图片：%1").arg(source.errorString());
        return rendered;
    }
    const std::optional<QSize> size = emfPixelSize(source.read(64), m_dpi);
    source.close();
    if (!size) {
        rendered.error = QStringLiteral("不是有效的EMF图片，或图片尺寸无法处理。");
        return rendered;
    }
    if (!m_workDir.isValid()) {
        rendered.error = QStringLiteral("无法创建临时文件夹。");
        return rendered;
    }

    const QString png = m_workDir.filePath(QStringLiteral("rendered.png"));
    QFile::remove(png);
    try {
        if (!m_session)
            m_session = std::make_unique<lo::LibreOfficeSession>();
        m_session->guarded(m_session->deadlineFor(1), [&] {
            // Draw imports the EMF as one picture on a page; exporting that picture (not the page)
            // renders the vector drawing at exactly the pixel size asked for.
            uno::Reference<lang::XComponent> drawing = m_session->desktop()->loadComponentFromURL(
                lo::fileUrl(path), "_blank", 0, lo::props({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}}));
            if (!drawing.is())
                throw EngineError(ErrorNumber::OpenFailed, QStringLiteral("图片内容无法识别。"));
            struct Closer
            {
                uno::Reference<lang::XComponent> component;
                ~Closer()
                {
                    try {
                        lo::closeComponent(component);
                    } catch (...) {
                        // A lost office takes the drawing with it.
                    }
                }
            } closer{drawing};
            uno::Reference<drawing::XDrawPagesSupplier> pages(drawing, uno::UNO_QUERY);
            if (!pages.is() || pages->getDrawPages()->getCount() < 1)
                throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("图片内容无法识别。"));
            uno::Reference<drawing::XShapes> shapes(pages->getDrawPages()->getByIndex(0),
                                                    uno::UNO_QUERY_THROW);
            if (shapes->getCount() < 1)
                throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("图片是空的。"));
            uno::Reference<lang::XComponent> picture(shapes->getByIndex(0), uno::UNO_QUERY_THROW);

            auto context = m_session->context();
            uno::Reference<uno::XInterface> filter = context->getServiceManager()->createInstanceWithContext(
                "com.sun.star.drawing.GraphicExportFilter", context);
            uno::Reference<document::XExporter>(filter, uno::UNO_QUERY_THROW)->setSourceDocument(picture);
            const auto filterData = lo::props({{"PixelWidth", Any(sal_Int32(size->width()))},
                                               {"PixelHeight", Any(sal_Int32(size->height()))}});
            uno::Reference<document::XFilter>(filter, uno::UNO_QUERY_THROW)
                ->filter(lo::props({{"URL", Any(lo::fileUrl(png))},
                                    {"MediaType", Any(rtl::OUString("image/png"))},
                                    {"FilterData", Any(filterData)}}));
        });
    } catch (const EngineError& error) {
        rendered.error = QStringLiteral("EMF图片渲染失败：%1").arg(error.description());
        return rendered;
    }
    rendered.image = QImage(png);
    QFile::remove(png);
    if (rendered.image.isNull())
        rendered.error = QStringLiteral("EMF图片渲染失败：没有得到图像。");
    return rendered;
}

} // namespace quillet::tessora
