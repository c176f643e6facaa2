#include "converter/ConverterArguments.h"

#include "launcher/ConverterAccess.h"

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

bool canShowWindows(const QString& platform, const QString& display, const QString& waylandDisplay)
{
    const QString name = platform.section(QLatin1Char(':'), 0, 0);
    if (name == QLatin1String("offscreen") || name == QLatin1String("minimal"))
        return false;
    if (!name.isEmpty() && name != QLatin1String("xcb") && !name.startsWith(QLatin1String("wayland")))
        return true; // a platform of its own (eglfs, vnc...): let Qt decide
    if (name == QLatin1String("xcb"))
        return !display.isEmpty();
    if (name.startsWith(QLatin1String("wayland")))
        return !waylandDisplay.isEmpty();
    return !display.isEmpty() || !waylandDisplay.isEmpty();
}

QString accessRefusedMessage()
{
    return QStringLiteral("图片格式转换程序只能从Quillet的“图片格式转换”按钮启动。");
}

} // namespace quillet::tessora
