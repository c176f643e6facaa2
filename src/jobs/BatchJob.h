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

// The frame both batch jobs share: check the input, lock the window, one engine application for
// all documents, one worker call per list entry with progress, quit, report, offer the log.
// However the job ends, the locked controls come back and the engine is quit.
class BatchJob
{
public:
    BatchJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer);

    void run(const JobKind& kind);

private:
    bool checkInput(const JobKind& kind);
    void lock();
    void unlock();
    void endEarly(const QString& message, const JobLog& log);
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
QString ViewerNotStarted(const QString& logFile, const QString& reason);
} // namespace JobText

} // namespace quillet
