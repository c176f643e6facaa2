#include "cli/DocumentGathering.h"

#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillet {

namespace {

// Each document once, whatever way it came, with the sub-folder it came with first.
class Gatherer
{
public:
    Gatherer(GatheredDocuments& gathered, bool tree) : m_gathered(gathered), m_tree(tree) {}

    void add(const QString& path)
    {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (!QFileInfo(absolute).isDir()) {
            if (m_list.AddToList(absolute))
                m_gathered.documents.append({absolute, QString()});
            return;
        }
        // The engine opens .docx, so the folder search takes them as the window's does with such an engine.
        const qsizetype before = m_list.count();
        m_gathered.unreadableFolders << ScanFolder(m_list, absolute, true);
        for (qsizetype i = before; i < m_list.count(); ++i) {
            const QString subfolder = QDir(absolute).relativeFilePath(QFileInfo(m_list.at(i)).path());
            m_gathered.documents.append(
                {m_list.at(i), m_tree && subfolder != QLatin1String(".") ? subfolder : QString()});
        }
    }

private:
    GatheredDocuments& m_gathered;
    const bool m_tree;
    DocumentList m_list;
};

} // namespace

GatheredDocuments GatherDocuments(const QStringList& paths, const QStringList& listFiles, bool tree)
{
    GatheredDocuments gathered;
    Gatherer gatherer(gathered, tree);
    for (const QString& path : paths)
        gatherer.add(path);
    for (const QString& listFile : listFiles) {
        const bool standardInput = listFile == QLatin1String("-");
        QFile file(standardInput ? QString() : listFile);
        const bool opened =
            standardInput ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
        if (!opened) {
            gathered.error = QStringLiteral("无法读取路径清单“%1”：%2").arg(listFile, file.errorString());
            return gathered;
        }
        QString text = QString::fromUtf8(file.readAll());
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (!line.trimmed().isEmpty())
                gatherer.add(line);
        }
    }
    return gathered;
}

} // namespace quillet
