#pragma once

#include "jobs/JobKind.h"

#include <QString>
#include <QStringList>

namespace quillet {

class JobObserver;
class OfficeEngine;
class OptionsSource;

// How a job ended, with the documents done and failed (each has its log line).
struct JobResult
{
    enum class End
    {
        Finished,         // every document was taken up
        EngineNotStarted, // an office could not be started; the other offices stopped too
        Stopped,          // the observer asked the job to stop
        Aborted           // the observer failed under the job
    };
    End end = End::Finished;
    int done = 0;
    int failed = 0;
    QString reason;      // why an office could not be started, or what failed under the job
    bool logged = false; // a line was written to the log, or lost trying
};

// The document loop of both batch jobs, for the window's driver and for the command line: one
// engine application (office) per lane, each lane taking the next document when it has finished
// one, then quitting its office. The options' output folder must exist and end with the separator.
// The first way out other than the end of the list ends every lane after its current step.
class JobRunner
{
public:
    JobRunner(OfficeEngine& engine, const OptionsSource& options, JobObserver& observer);

    // lanes: never more than there are documents; the first runs on the calling thread, each other
    // on a thread of its own.
    JobResult run(const JobKind& kind, const QStringList& documents, int lanes = 1);

private:
    OfficeEngine& m_engine;
    const OptionsSource& m_options;
    JobObserver& m_observer;
};

} // namespace quillet
