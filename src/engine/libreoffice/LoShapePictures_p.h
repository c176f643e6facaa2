#pragma once

// The drawing objects of a Writer document and their BMP pictures. The Writer draw page lists every
// object; in-line ones are anchored as characters, all others float. Pictures and drawn shapes
// export through GraphicExportFilter; embedded objects (charts) give their replacement picture; text
// frames have no picture of their own.
// Every function makes remote calls: call them inside LibreOfficeSession::guarded().

#include <QByteArray>
#include <QString>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <vector>

namespace quillet::lo {

namespace css = com::sun::star;

// The document's floating (inlineObjects false) or in-line objects, in draw-page order.
std::vector<css::uno::Reference<css::drawing::XShape>>
listShapes(const css::uno::Reference<css::frame::XModel>& model, bool inlineObjects);

// BMP bytes of the object (a real BMP, its size field right); empty for a text frame.
// workDir: a private folder for the export file.
QByteArray bmpOfShape(const css::uno::Reference<css::uno::XComponentContext>& context,
                      const css::uno::Reference<css::drawing::XShape>& shape, const QString& workDir);

// Writes any picture Qt can read as a BMP; empty when it cannot be read.
QByteArray normalisedBmp(const QByteArray& picture);

} // namespace quillet::lo
