#include "cli/DocumentGathering.h"

#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

namespace {

// Each document once, whatever way it came, with the sub-folder it came with first.
struct Gathered
{
    Gathered(QList<JobDocument>& documents, bool tree) : documents(documents), tree(tree) {}

    QList<JobDocument>& documents;
    const bool tree;
    DocumentList list;

    void add(const QString& path)
    {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (!QFileInfo(absolute).isDir()) {
            if (list.AddToList(absolute))
                documents.append({absolute, QString()});
            return;
        }
        // The engine opens .docx, so the folder search takes them as the window's does with such an engine.
        const qsizetype before = list.count();
        ScanFolder(list, absolute, true);
        for (qsizetype i = before; i < list.count(); ++i) {
            const QString subfolder = QDir(absolute).relativeFilePath(QFileInfo(list.at(i)).path());
            documents.append({list.at(i), tree && subfolder != QLatin1String(".") ? subfolder : QString()});
        }
    }
};

} // namespace

QString GatherDocuments(QList<JobDocument>& documents, const QStringList& paths, const QStringList& listFiles,
                        bool tree)
{
    Gathered gathered(documents, tree);
    for (const QString& path : paths)
        gathered.add(path);
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
                gathered.add(line);
        }
    }
    return QString();
}

} // namespace quillet
