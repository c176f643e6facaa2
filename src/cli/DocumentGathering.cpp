#include "cli/DocumentGathering.h"

#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

namespace {

void AddPath(DocumentList& list, const QString& path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // The engine opens .docx, so the folder search takes them as the window's does with such an engine.
    if (QFileInfo(absolute).isDir())
        ScanFolder(list, absolute, true);
    else
        list.AddToList(absolute);
}

} // namespace

QString GatherDocuments(DocumentList& list, const QStringList& paths, const QStringList& listFiles)
{
    for (const QString& path : paths)
        AddPath(list, path);
    for (const QString& listFile : listFiles) {
        const bool standardInput = listFile == QLatin1String("-");
        QFile file(standardInput ? QString() : listFile);
        const bool opened =
            standardInput ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
        if (!opened)
            return QStringLiteral("无法读取路径清单“%1”：%2").arg(listFile, file.errorString());
        QString text = QString::fromUtf8(file.readAll());
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (!line.trimmed().isEmpty())
                AddPath(list, line);
        }
    }
    return QString();
}

} // namespace quillet
