#pragma once

// Pictures made by the office's graphic export filter, and closing what the office has loaded.
// Every function makes remote calls: call them inside LibreOfficeSession::guarded().

#include <QByteArray>
#include <QSize>
#include <QString>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

namespace quillet::lo {

namespace css = com::sun::star;

// Writes `source` (a Draw page or a shape) with GraphicExportFilter in `mediaType` to `path` and
// returns the file's bytes; the file is removed again. A valid pixelSize sets the picture's size.
QByteArray exportGraphic(const css::uno::Reference<css::uno::XComponentContext>& context,
                         const css::uno::Reference<css::lang::XComponent>& source, const QString& mediaType,
                         const QString& path, QSize pixelSize = {});

// A picture file (EMF) as PNG bytes of pixelSize: the office opens it hidden in Draw, puts the picture
// at its own size on a page of exactly that size and draws the page, so the drawing fills exactly
// the size asked for.
QByteArray renderPictureFile(const css::uno::Reference<css::frame::XDesktop2>& desktop,
                             const css::uno::Reference<css::uno::XComponentContext>& context,
                             const QString& picture, QSize pixelSize, const QString& workDir);

// The bytes of a file the office wrote for us; the file is removed.
QByteArray takeFile(const QString& path);

// Closes a component without storing it (close, or dispose when it refuses).
void closeComponent(const css::uno::Reference<css::lang::XComponent>& component);

} // namespace quillet::lo
