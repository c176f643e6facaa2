#include "engine/libreoffice/DocumentLoading_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QFileInfo>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>

namespace quillet::lo {

using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

struct LoadedKind
{
    bool textDocument = false;
    QString filter;
};

LoadedKind kindOf(const Reference<css::lang::XComponent>& component)
{
    LoadedKind kind;
    Reference<css::lang::XServiceInfo> info(component, UNO_QUERY);
    kind.textDocument = info.is() && info->supportsService("com.sun.star.text.TextDocument") &&
                        !info->supportsService("com.sun.star.text.WebDocument");
    Reference<css::frame::XModel> model(component, UNO_QUERY);
    if (model.is()) {
        const auto args = model->getArgs();
        for (const auto& arg : args) {
            OUString filter;
            if (arg.Name == "FilterName" && (arg.Value >>= filter))
                kind.filter = toQString(filter);
        }
    }
    return kind;
}

} // namespace

// A failure to close must not hide why the document was refused.
void discardDocument(LibreOfficeSession& session, const Reference<css::lang::XComponent>& component)
{
    if (!session.running())
        return;
    try {
        session.guarded(session.deadlineFor(0), [&] { closeComponent(component); });
    } catch (const EngineError&) {
    }
}

bool isWordProcessorFilter(const QString& filterName)
{
    // "Text", "Text (encoded)", "Text - Choose Encoding" and their web variants.
    return !filterName.isEmpty() && !filterName.startsWith(QLatin1String("Text"));
}

Reference<css::lang::XComponent> loadWordProcessorDocument(LibreOfficeSession& session, const QString& path)
{
    const QFileInfo file(path);
    if (!file.exists())
        throw EngineError(ErrorNumber::FileNotFound, QStringLiteral("找不到文件：%1").arg(path));
    if (!file.isFile() || !file.isReadable())
        throw EngineError(ErrorNumber::OpenFailed, QStringLiteral("无法读取文件：%1").arg(path));
    if (file.size() == 0)
        throw EngineError(ErrorNumber::OpenFailed, QStringLiteral("文件是空的，不是Word文档：%1").arg(path));

    const auto desktop = session.desktop();
    const OUString url = fileUrl(file.absoluteFilePath());
    const auto arguments =
        props({{"Hidden", css::uno::Any(true)},
               {"ReadOnly", css::uno::Any(true)},
               {"MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)},
               {"UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE)}});

    Reference<css::lang::XComponent> component;
    try {
        component = session.guarded(session.deadlineFor(0), [&] {
            return desktop->loadComponentFromURL(url, "_blank", 0, arguments);
        });
    } catch (const EngineError& e) {
        if (e.number() != ErrorNumber::OperationFailed)
            throw;
        throw EngineError(ErrorNumber::OpenFailed,
                          QStringLiteral("无法打开文档：%1（%2）").arg(path, e.description()));
    }
    // Without an interaction handler, a corrupt or password-protected file loads as nothing.
    if (!component.is()) {
        throw EngineError(ErrorNumber::OpenFailed,
                          QStringLiteral("无法打开文档，文件可能已损坏或受密码保护：%1").arg(path));
    }

    LoadedKind kind;
    try {
        kind = session.guarded(session.deadlineFor(0), [&] { return kindOf(component); });
    } catch (const EngineError&) {
        discardDocument(session, component);
        throw;
    }
    if (!kind.textDocument || !isWordProcessorFilter(kind.filter)) {
        discardDocument(session, component);
        throw EngineError(ErrorNumber::NotWordProcessorDocument,
                          QStringLiteral("不是Word文档（识别为“%1”）：%2")
                              .arg(kind.filter.isEmpty() ? QStringLiteral("未知格式") : kind.filter, path));
    }
    return component;
}

} // namespace quillet::lo
