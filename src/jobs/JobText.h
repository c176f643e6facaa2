#pragma once

#include <QString>

namespace quillet {

// What the batch jobs say to the user: the window's messages, which the command line says too.
namespace JobText {
QString NoDocuments();
QString NoOutputFolder();
QString NoLogFile();
QString BadPageRange();
QString Progress(int documentNumber);
QString Finished();
QString LogQuestion();
QString FolderNotCreated(const QString& folder);
QString EngineNotStarted(const QString& reason);
QString EngineLost(int done, int failed, int notAttempted, const QString& reason);
// Log descriptions of documents the job did not work on.
QString NotAttempted(const QString& reason);
QString SameNames(const QString& earlierDocument, const QString& names);
QString JobAborted(const QString& reason);
QString ViewerNotStarted(const QString& logFile, const QString& reason);
} // namespace JobText

} // namespace quillet
