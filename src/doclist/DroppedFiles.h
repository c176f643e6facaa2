#pragma once

#include <QStringList>

class QMimeData;

namespace quillet {

class DocumentList;

// The local file paths a drop carries (its uri-list), in the order the drop delivers them, in
// the platform's own separator form. Empty when the drop carries no local files.
QStringList droppedLocalPaths(const QMimeData& data);

// Adds the dropped paths whose last four characters are ".DOC" or ".RTF" (any letter case).
// Folders are never searched: a path is judged by its text alone. Returns how many were added.
qsizetype addDroppedPaths(DocumentList& list, const QStringList& paths);

} // namespace quillet
