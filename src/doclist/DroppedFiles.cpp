#include "doclist/DroppedFiles.h"

#include "doclist/DocumentList.h"
#include "doclist/DocumentNames.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace quillet {

QStringList droppedLocalPaths(const QMimeData& data)
{
    QStringList paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

qsizetype addDroppedPaths(DocumentList& list, const QStringList& paths)
{
    qsizetype added = 0;
    for (const QString& path : paths) {
        if (isDroppableDocument(path) && list.AddToList(path))
            ++added;
    }
    return added;
}

} // namespace quillet
