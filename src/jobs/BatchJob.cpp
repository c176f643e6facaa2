#include "jobs/BatchJob.h"

#include "jobs/ConversionOptions.h"
#include "jobs/FilePrefix.h"
#include "jobs/JobKind.h"
#include "jobs/JobRunner.h"
#include "jobs/JobText.h"
#include "jobs/JobWindow.h"
#include "jobs/PageBox.h"
#include "platform/Dialogs.h"
#include "platform/TextViewer.h"

namespace quillet {

JobWindow::~JobWindow() = default;

BatchJob::BatchJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
    : m_window(window), m_engine(engine), m_viewer(viewer)
{}

void BatchJob::inform(const QString& text)
{
    m_window.dialogs().message(text, MessageIcon::Information, MessageButtons::Ok);
}

bool BatchJob::checkInput(const JobKind& kind)
{
    if (m_window.documentPaths().isEmpty()) {
        inform(JobText::NoDocuments());
        return false;
    }
    QString folder = m_window.jobOptions().options().outputFolder;
    if (folder.trimmed().isEmpty()) {
        inform(JobText::NoOutputFolder());
        m_window.chooseOutputFolder();
        return false;
    }
    if (!folder.endsWith(PathSeparator())) {
        folder += PathSeparator();
        m_window.setOutputFolderText(folder);
    }
    if (!MakeOutputFolder(folder)) {
        inform(JobText::FolderNotCreated(folder));
        return false;
    }
    if (m_window.jobOptions().options().logPath.trimmed().isEmpty()) {
        inform(JobText::NoLogFile());
        m_window.chooseLogFile();
        return false;
    }
    if (kind.pageRangeStep == JobKind::PageRangeStep::SelectAllPages) {
        m_window.selectAllPages();
    } else if (!HasValidPageRange(m_window.jobOptions().options())) {
        inform(JobText::BadPageRange());
        return false;
    }
    return true;
}

void BatchJob::lock()
{
    m_window.setJobControlEnabled(JobControl::CmdDo, false);
    m_window.setJobControlEnabled(JobControl::CmdPicExtract, false);
    m_window.setJobControlEnabled(JobControl::txtOutDir, false);
    m_window.setJobControlEnabled(JobControl::txtLog, false);
    m_window.setBusy(true);
}

void BatchJob::unlock()
{
    m_window.setBusy(false);
    m_window.setJobControlEnabled(JobControl::txtOutDir, true);
    m_window.setJobControlEnabled(JobControl::CmdDo, true);
    m_window.setJobControlEnabled(JobControl::CmdPicExtract, true);
    m_window.setJobControlEnabled(JobControl::txtLog, true);
}

// A job that cannot go on: the controls come back, the progress text goes, the user is told why,
// and the failures logged so far are still offered.
void BatchJob::endEarly(const QString& message, bool errorLogged)
{
    unlock();
    m_window.showProgress(QString());
    inform(message);
    if (errorLogged)
        offerLog();
}

void BatchJob::offerLog()
{
    const MessageAnswer answer =
        m_window.dialogs().message(JobText::LogQuestion(), MessageIcon::Question, MessageButtons::OkCancel);
    if (answer != MessageAnswer::Ok)
        return;
    const QString logFile = m_window.jobOptions().options().logPath;
    const QString failure = m_viewer.open(logFile);
    if (!failure.isEmpty())
        inform(JobText::ViewerNotStarted(logFile, failure));
}

void BatchJob::documentStarted(int index)
{
    m_window.showProgress(JobText::Progress(index + 1));
}

void BatchJob::stepDone()
{
    m_window.keepAlive();
}

void BatchJob::run(const JobKind& kind)
{
    if (!checkInput(kind))
        return;
    lock();
    QList<JobDocument> documents;
    for (const QString& path : m_window.documentPaths())
        documents.append({path, QString()});
    const JobResult result = JobRunner(m_engine, m_window.jobOptions(), *this).run(kind, documents);
    switch (result.end) {
    case JobResult::End::Finished:
        break;
    case JobResult::End::EngineNotStarted:
        endEarly(JobText::EngineNotStarted(result.reason), result.logged);
        return;
    case JobResult::End::EngineLost:
        endEarly(JobText::EngineLost(result.done, result.failed, result.notAttempted, result.reason),
                 result.logged);
        return;
    case JobResult::End::Aborted:
    case JobResult::End::Stopped: // the window never asks for a stop
        endEarly(JobText::JobAborted(result.reason), result.logged);
        return;
    }
    m_window.setBusy(false);
    inform(kind.completionMessage);
    m_window.setJobControlEnabled(JobControl::txtOutDir, true);
    m_window.setJobControlEnabled(JobControl::CmdDo, true);
    m_window.setJobControlEnabled(JobControl::CmdPicExtract, true);
    m_window.showProgress(JobText::Finished());
    if (result.logged)
        offerLog();
    m_window.setJobControlEnabled(JobControl::txtLog, true);
}

} // namespace quillet
