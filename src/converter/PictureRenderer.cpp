#include "converter/PictureRenderer.h"

#include <QImageReader>

namespace quillet::tessora {

PictureRenderer::~PictureRenderer() = default;

RenderedPicture QtImageRenderer::render(const QString& path)
{
    QImageReader reader(path);
    RenderedPicture rendered;
    rendered.image = reader.read();
    if (rendered.image.isNull())
        rendered.error = QStringLiteral("无法读取图片：%1").arg(reader.errorString());
    return rendered;
}

} // namespace quillet::tessora
