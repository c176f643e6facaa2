#include "doclist/FolderScan.h"

#include "doclist/DocumentList.h"
#include "doclist/DocumentNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

namespace quillet {

namespace {

// Listing order: by name ignoring case, ties by exact name, so every machine gives the same
// order whatever its file system returns.
bool nameOrder(const QFileInfo& a, const QFileInfo& b)
{
    const QString nameA = a.fileName();
    const QString nameB = b.fileName();
    const int byFold = nameA.compare(nameB, Qt::CaseInsensitive);
    return byFold != 0 ? byFold < 0 : nameA < nameB;
}

// Files (and with withFolders, folders) of one folder, hidden ones included. Special files
// (sockets, pipes, devices, dangling links) are no documents and are left out.
QFileInfoList listFolder(const QString& folder, bool withFolders)
{
    QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot;
    if (withFolders)
        filters |= QDir::Dirs;
    QFileInfoList entries = QDir(folder).entryInfoList(filters, QDir::Unsorted);
    std::sort(entries.begin(), entries.end(), nameOrder);
    return entries;
}

// Linux has no system attribute. What it kept out of a scan on Windows, the recycle bin, is the
// Trash here: the user's own and the per-volume folders (.Trash, .Trash-<uid>) of removable drives.
class TrashFolders
{
public:
    TrashFolders()
        : m_home(QFileInfo(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Trash"))
                     .canonicalFilePath())
    {}
    bool contains(const QString& name, const QString& canonicalPath) const
    {
        static const QRegularExpression volumeTrash(QStringLiteral("^\\.Trash(-\\d+)?$"));
        return volumeTrash.match(name).hasMatch() || (!m_home.isEmpty() && canonicalPath == m_home);
    }

private:
    QString m_home;
};

// Whether a canonical path is the canonical folder root or lies below it.
bool isInside(const QString& path, const QString& root)
{
    return path == root || path.startsWith(withTrailingSeparator(root));
}

} // namespace

QString withTrailingSeparator(const QString& folder)
{
    const QChar separator = QDir::separator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

void addFolderDocuments(DocumentList& list, const QString& folder, bool docxSupported)
{
    const QString prefix = withTrailingSeparator(folder);
    for (const QFileInfo& entry : listFolder(prefix, false)) {
        if (isSearchedDocument(entry.fileName(), docxSupported))
            list.AddToList(prefix + entry.fileName());
    }
}

QStringList ScanFolder(DocumentList& list, const QString& folder, bool docxSupported)
{
    // An explicit stack instead of recursion: a deep tree cannot exhaust the call stack.
    // Sub-folders are pushed in reverse, so they are taken in listing order, each subtree
    // finished before the next sibling: the same order as collect-then-recurse.
    // Each folder with its canonical path, worked out once when it is listed.
    struct Folder
    {
        QString path;
        QString canonical;
    };
    const QString root = QFileInfo(folder).canonicalFilePath();
    std::vector<Folder> pending{{folder, root}};
    QSet<QString> visited;
    const TrashFolders trash;
    QStringList unreadable;
    while (!pending.empty()) {
        const Folder current = pending.back();
        pending.pop_back();
        if (current.canonical.isEmpty() || visited.contains(current.canonical))
            continue;
        visited.insert(current.canonical);
        const QFileInfo info(current.path);
        if (!info.isReadable() || !info.isExecutable()) {
            unreadable << current.path;
            continue;
        }

        const QString prefix = withTrailingSeparator(current.path);
        std::vector<Folder> subFolders;
        for (const QFileInfo& entry : listFolder(prefix, true)) {
            const QString path = prefix + entry.fileName();
            if (entry.isDir()) {
                const QString canonical = entry.canonicalFilePath();
                // A link leading out of the tree (Wine's dosdevices/z: leads to "/") is not followed.
                if (!trash.contains(entry.fileName(), canonical) &&
                    (!entry.isSymLink() || isInside(canonical, root)))
                    subFolders.push_back({path, canonical});
            } else if (isSearchedDocument(entry.fileName(), docxSupported))
                list.AddToList(path);
        }
        pending.insert(pending.end(), subFolders.rbegin(), subFolders.rend());
    }
    return unreadable;
}

} // namespace quillet
