#pragma once

#include "jobs/JobRunner.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quillet {

struct GatheredDocuments
{
    QList<JobDocument> documents;
    QStringList unreadableFolders; // folders searched that could not be read, in the order met
    QString error;                 // a list file that cannot be read
};

// The job's documents from the command line's paths, then from each list file's lines, in that
// order. A folder is searched as the add-folder command searches it with sub-folders ticked (.doc
// and .docx); anything else is taken as a document, to be judged by the engine, so that a missing
// file of a long list costs its log line and not the whole run. Paths are made absolute against
// the current folder; each is kept once, in first-seen order. With tree, a document found in a
// sub-folder of a folder given gets that sub-folder (relative to the folder given) as its own.
// A list file is UTF-8 text, one path a line (CR LF allowed, blank lines skipped); "-" reads the
// standard input.
GatheredDocuments GatherDocuments(const QStringList& paths, const QStringList& listFiles, bool tree);

} // namespace quillet
