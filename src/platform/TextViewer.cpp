#include "platform/TextViewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quillet {

TextViewer::~TextViewer() = default;

QString DesktopTextViewer::open(const QString& fileName)
{
    // A viewer started on a missing file would only show an error of its own.
    if (!QFileInfo(fileName).isFile())
        return QStringLiteral("文件不存在。");
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath())))
        return QStringLiteral("没有能打开文本文件的程序。");
    return QString();
}

} // namespace quillet
