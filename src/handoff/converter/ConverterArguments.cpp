#include "handoff/converter/ConverterArguments.h"

#include "handoff/ConverterAccess.h"

#include <QDir>
#include <QFileInfo>

namespace quillet::tessora {

ConverterArguments parseConverterArguments(const QStringList& arguments)
{
    ConverterArguments parsed;
    parsed.accessGranted = arguments.value(0) == QLatin1String(kConverterAccessArgument);
    parsed.folder = arguments.value(1);
    return parsed;
}

QString startFolder(const ConverterArguments& arguments)
{
    if (arguments.folder.isEmpty())
        return QString();
    const QFileInfo info(arguments.folder);
    return info.isDir() ? QDir(arguments.folder).absolutePath() : QString();
}

QString accessRefusedMessage()
{
    return QStringLiteral("图片格式转换程序只能从Quillet的“图片格式转换”按钮启动。");
}

} // namespace quillet::tessora
