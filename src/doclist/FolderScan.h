#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

class DocumentList;

// The folder text with the path separator appended when it does not already end in one.
QString withTrailingSeparator(const QString& folder);

// Adds the documents directly in folder (not its sub-folders), in name order ignoring case.
void addFolderDocuments(DocumentList& list, const QString& folder, bool docxSupported);

// Adds the documents of folder and of all its sub-folders, depth first: the documents directly
// in a folder come before those of its sub-folders, and sub-folders follow one another in name
// order ignoring case, each with its whole subtree. Hidden files and folders are searched like
// any other; Trash folders are not. A link to a folder is followed only when its target lies
// inside folder, and a folder already searched in this scan is not entered again, so a link
// cycle ends. A folder that cannot be read contributes nothing; the folders that could not be are
// returned, in the order met, for a caller that tells them.
QStringList ScanFolder(DocumentList& list, const QString& folder, bool docxSupported);

} // namespace quillet
