#include "converter/EmfRenderer.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "pdfemf/EmfRecords.h"

#include <QFile>
#include <QImage>

namespace quillet::tessora {

namespace {

// Larger pictures would need gigabytes in memory; no EMF of a document page comes near this.
constexpr int kMaxSide = 20000;

} // namespace

std::optional<QSize> emfPixelSize(const QByteArray& header, int dpi)
{
    const std::optional<pdfemf::EmfRect> frame = pdfemf::emfFrame(header); // 0.01 mm
    if (!frame)
        return std::nullopt;
    const qint64 width = ((qint64(frame->right) - frame->left) * dpi + 1270) / 2540;
    const qint64 height = ((qint64(frame->bottom) - frame->top) * dpi + 1270) / 2540;
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return std::nullopt;
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

EmfRenderer::EmfRenderer(OfficeEngine& engine, int dpi) : m_engine(engine), m_dpi(dpi) {}

EmfRenderer::~EmfRenderer()
{
    if (m_app) {
        try {
            m_app->Quit();
        } catch (...) {
            // The application's destructor ends the office all the same.
        }
    }
}

RenderedPicture EmfRenderer::render(const QString& path)
{
    RenderedPicture rendered;
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        rendered.error = QStringLiteral("无法打开图片：%1").arg(source.errorString());
        return rendered;
    }
    const std::optional<QSize> size = emfPixelSize(source.read(88), m_dpi);
    source.close();
    if (!size) {
        rendered.error = QStringLiteral("不是有效的EMF图片，或图片尺寸无法处理。");
        return rendered;
    }
    try {
        if (!m_app)
            m_app = m_engine.CreateApplication();
        const Picture png = m_app->RenderPicture(path, *size);
        rendered.image = QImage::fromData(png.bytes);
    } catch (...) {
        rendered.error =
            QStringLiteral("EMF图片渲染失败：%1").arg(EngineError::fromCurrentException().description());
        return rendered;
    }
    if (rendered.image.isNull())
        rendered.error = QStringLiteral("EMF图片渲染失败：没有得到图像。");
    return rendered;
}

} // namespace quillet::tessora
