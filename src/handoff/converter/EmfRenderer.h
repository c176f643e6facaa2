#pragma once

// EMF pictures rendered by the office engine: Draw opens the EMF (hidden) and the graphic export
// filter writes the picture as PNG at the size the EMF declares, at the chosen resolution. The
// office is started on the first EMF and stopped when the renderer goes.

#include "handoff/converter/PictureRenderer.h"

#include <QSize>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace quillet::lo {
class LibreOfficeSession;
}

namespace quillet::tessora {

// The size an EMF declares (its frame), in pixels at dpi; nullopt when the bytes are no EMF.
std::optional<QSize> emfPixelSize(const QByteArray& header, int dpi);

class EmfRenderer : public PictureRenderer
{
public:
    explicit EmfRenderer(int dpi);
    ~EmfRenderer() override;

    RenderedPicture render(const QString& path) override;

    // Process id of the office this renderer runs, 0 when none runs.
    qint64 officePid() const;

private:
    int m_dpi;
    QTemporaryDir m_workDir;
    std::unique_ptr<lo::LibreOfficeSession> m_session;
};

} // namespace quillet::tessora
