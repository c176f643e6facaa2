#pragma once

#include <QString>
#include <functional>

namespace quillet {

class JobLog;
class JobWindow;
class OfficeApplication;
class OfficeEngine;
class OptionsSource;
class TextViewer;

// One document's work inside a job (ConvertDocument, ExtractPictures).
using DocumentWorker =
    std::function<void(OfficeApplication& app, const QString& path, const OptionsSource& options, JobLog& log,
                       const std::function<void()>& keepAlive)>;

// Where the two batch jobs differ.
struct JobKind
{
    enum class PageRangeStep
    {
        Validate,
        SelectAllPages
    };
    PageRangeStep pageRangeStep;
    DocumentWorker worker;
    QString completionMessage;
};

// How a job ended, for a caller that reports it (the command line's exit status).
struct JobOutcome
{
    enum class End
    {
        Refused,          // the input checks turned it down before any work
        Finished,         // every document had its pass
        EngineNotStarted, // an office could not be started
        Aborted,          // the window or the list failed under the job
        Stopped           // the window asked it to stop
    };
    End end = End::Refused;
    int documentsDone = 0;   // documents whose pass ended
    int documentsFailed = 0; // of those, the ones that wrote their log line
};

// The frame both batch jobs share: check the input, lock the window, one engine application for
// all documents, one worker call per list entry with progress, quit, report, offer the log.
// However the job ends, the locked controls come back and the engine is quit.
class BatchJob
{
public:
    BatchJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer);

    // One office, on the calling thread.
    JobOutcome run(const JobKind& kind);
    // `offices` engine applications side by side (never more than there are documents), the first
    // on the calling thread and each other on a thread of its own, each taking the next document of
    // the list when it has finished one.
    // The first office that cannot start, or a failing window, ends the others after their
    // current step.
    JobOutcome run(const JobKind& kind, int offices);

private:
    bool checkInput(const JobKind& kind);
    void lock();
    void unlock();
    void endEarly(const QString& message, bool errorLogged);
    void offerLog();
    void inform(const QString& text);

    JobWindow& m_window;
    OfficeEngine& m_engine;
    TextViewer& m_viewer;
};

// Messages of the job frame.
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
QString JobAborted(const QString& reason);
QString Stopped();
QString ViewerNotStarted(const QString& logFile, const QString& reason);
} // namespace JobText

} // namespace quillet
