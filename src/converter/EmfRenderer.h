#pragma once

// EMF pictures drawn by the office engine at the size the EMF declares and the chosen resolution.
// The engine's application is made on the first EMF and quit when the renderer goes.

#include "converter/PictureRenderer.h"

#include <QSize>
#include <memory>
#include <optional>

namespace quillet {
class OfficeApplication;
class OfficeEngine;
} // namespace quillet

namespace quillet::tessora {

// The size an EMF declares (its frame), in pixels at dpi; nullopt when the bytes are no EMF.
std::optional<QSize> emfPixelSize(const QByteArray& header, int dpi);

class EmfRenderer : public PictureRenderer
{
public:
    EmfRenderer(OfficeEngine& engine, int dpi);
    ~EmfRenderer() override;

    RenderedPicture render(const QString& path) override;

private:
    OfficeEngine& m_engine;
    int m_dpi;
    std::unique_ptr<OfficeApplication> m_app;
};

} // namespace quillet::tessora
