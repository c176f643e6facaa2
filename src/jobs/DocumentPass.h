#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace quillet {

class JobLog;
class OfficeApplication;
class OfficeDocument;
class PictureSaver;
class SkipOnFailure;

// How a document's pass ended once its pictures are saved.
enum class PassEnd
{
    Done,
    Failed,    // its one log line is written
    Unfinished // the job was stopped before all its pictures were saved: no line
};

// A document the office is done with; pictures still being written may still be saved.
class PassOutcome
{
public:
    PassOutcome(QString path, std::shared_ptr<const SkipOnFailure> steps);

    // True once every picture of the document is saved (or dropped), waiting up to `within`.
    bool saved(std::chrono::milliseconds within) const;
    // Once saved: logs the last failure, if any, as the document's one line.
    PassEnd end(JobLog& log) const;

private:
    QString m_path;
    std::shared_ptr<const SkipOnFailure> m_steps;
};

// One worker's pass over one document: open it, run the work step by step (a failing step is
// skipped and becomes the pending error), close it without saving. Pictures handed over still
// being written go to `saver`, so the office is free for the next document before they are saved;
// the outcome logs the document's last failure once they are. An open that fails skips the work and
// is what gets logged, except when the office cannot be started at all: that throws
// EngineStartFailure to the job. A stop (JobStopped) passes through as well, leaving the document
// to the application's quit.
PassOutcome RunDocumentPass(OfficeApplication& app, const QString& path, PictureSaver& saver,
                            const std::function<void(OfficeDocument& doc, SkipOnFailure& steps)>& work);

} // namespace quillet
