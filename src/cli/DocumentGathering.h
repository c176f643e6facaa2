#pragma once

#include <QString>
#include <QStringList>

namespace quillet {

class DocumentList;

// Fills the document list from the command line's paths, then from each list file's lines, in that
// order. A folder is searched as the add-folder command searches it with sub-folders ticked (.doc
// and .docx); anything else is taken as a document, to be judged by the engine, so that a missing
// file of a long list costs its log line and not the whole run. Paths are made absolute against
// the current folder; the list keeps each once, in first-seen order.
// A list file is UTF-8 text, one path a line (CR LF allowed, blank lines skipped); "-" reads the
// standard input. Returns an error text when a list file cannot be read, else an empty text.
QString GatherDocuments(DocumentList& list, const QStringList& paths, const QStringList& listFiles);

} // namespace quillet
