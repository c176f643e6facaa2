#pragma once

#include <QString>
#include <functional>

namespace quillet {

class JobLog;
class OfficeApplication;
class OfficeDocument;
class SkipOnFailure;

// One worker's pass over one document: open it, run the work step by step (a failing step is
// skipped and becomes the pending error), close it without saving, and log the last failure,
// if any, as the document's one line. An open that fails skips the work and is what gets logged,
// except when the office cannot be started at all: that throws EngineStartFailure to the job.
// A stop (JobStopped) passes through as well, leaving the document to the application's quit.
void RunDocumentPass(OfficeApplication& app, const QString& path, JobLog& log,
                     const std::function<void(OfficeDocument& doc, SkipOnFailure& steps)>& work);

} // namespace quillet
