#pragma once

#include <QString>

namespace quillet {

// The suffix of a file name: from the last "." to the end, the dot included; the whole name
// when it holds no dot. The search does not stop at a separator, so pass bare file names.
QString GetFileSuffix(const QString& name);

// Whether the file dialog and the folder search take a file of this name: suffix ".doc", or
// ".docx" when the engine opens such files, letter case ignored.
bool isSearchedDocument(const QString& fileName, bool docxSupported);

// Whether a dropped path is taken: its last four characters, upper-cased, are ".DOC" or ".RTF".
bool isDroppableDocument(const QString& path);

// The text of the pending-count label: "待处理文件" + count + "项".
QString pendingCountText(qsizetype count);

// The filter of the add-files dialog, in the dialog layer's syntax.
QString addFilesFilter(bool docxSupported);

} // namespace quillet
