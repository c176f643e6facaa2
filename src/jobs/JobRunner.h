#pragma once

#include "jobs/JobKind.h"

#include <QList>
#include <QString>

namespace quillet {

class JobObserver;
class OfficeEngine;
class OptionsSource;

// A document of a job, and the sub-folder of the output folder its pictures go to (relative; empty
// for the output folder itself).
struct JobDocument
{
    QString path;
    QString subfolder;
};

// How a job ended, with the documents done, failed (each has its log line) and not attempted.
struct JobResult
{
    enum class End
    {
        Finished,         // every document was taken up
        EngineNotStarted, // no office could be started: no document was worked on, nothing logged
        EngineLost,       // an office could not be started again, and its lane ended
        Stopped,          // the observer asked the job to stop
        Aborted           // the observer failed under the job
    };
    End end = End::Finished;
    int done = 0;
    int failed = 0;
    int notAttempted = 0; // each has its log line too
    QString reason;       // why an office could not be started, or what failed under the job
    bool logged = false;  // a line was written to the log, or lost trying
};

// The document loop of both batch jobs, for the window's driver and for the command line: one
// engine application (office) per lane, each lane taking the next document when it has finished
// one, then quitting its office. The options' output folder must exist and end with the separator;
// a document's sub-folder is made when the document is taken up.
//
// Within one job no document's pictures replace another's: a document whose pictures would take
// the names an earlier document of the list has (same folder, base name and extension) is not
// worked on; its log line names that document. So the outcome never depends on which office is
// quicker.
// An office that cannot be started is tried once more. When that fails too, the document in hand
// gets its log line and the lane ends; the other lanes take the remaining documents, and those
// that no lane is left to take get a line each saying so. Only when no office ever started is
// nothing logged: the job never began. A stop, or the observer failing, ends every lane after its
// current step.
class JobRunner
{
public:
    JobRunner(OfficeEngine& engine, const OptionsSource& options, JobObserver& observer);

    // lanes: never more than there are documents; the first runs on the calling thread, each other
    // on a thread of its own.
    JobResult run(const JobKind& kind, const QList<JobDocument>& documents, int lanes = 1);

private:
    OfficeEngine& m_engine;
    const OptionsSource& m_options;
    JobObserver& m_observer;
};

} // namespace quillet
