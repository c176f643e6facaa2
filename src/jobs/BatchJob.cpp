#include "jobs/BatchJob.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "jobs/ConversionOptions.h"
#include "jobs/FilePrefix.h"
#include "jobs/JobLog.h"
#include "jobs/JobWindow.h"
#include "jobs/PageBox.h"
#include "jobs/SkipOnFailure.h"
#include "platform/Dialogs.h"
#include "platform/TextViewer.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillet {

JobWindow::~JobWindow() = default;

namespace JobText {
QString NoDocuments()
{
    return QStringLiteral("没有需要处理的文档！");
}
QString NoOutputFolder()
{
    return QStringLiteral("请输入图片保存目录！");
}
QString NoLogFile()
{
    return QStringLiteral("请输入日志文件名！");
}
QString BadPageRange()
{
    return QStringLiteral("请输入正确的页码范围（数字）！");
}
QString Progress(int documentNumber)
{
    return QStringLiteral("正在处理第") + QString::number(documentNumber) + QStringLiteral("个文件");
}
QString Finished()
{
    return QStringLiteral("处理完毕！");
}
QString LogQuestion()
{
    return QStringLiteral("日志文件记录了处理过程中发生的异常，") + QLatin1String("\r\n") +
           QStringLiteral("是否查看日志文件？");
}
QString FolderNotCreated(const QString& folder)
{
    return QStringLiteral("无法创建图片保存目录“%1”，请检查上级目录是否存在以及是否有写入权限。").arg(folder);
}
QString EngineNotStarted(const QString& reason)
{
    return QStringLiteral("无法启动文档处理引擎（LibreOffice），任务未执行。\r\n%1").arg(reason);
}
QString JobAborted(const QString& reason)
{
    return QStringLiteral("处理过程意外中断。\r\n%1").arg(reason);
}
QString Stopped()
{
    return QStringLiteral("任务已按要求停止，其余文档没有处理。");
}
QString ViewerNotStarted(const QString& logFile, const QString& reason)
{
    return QStringLiteral("无法打开日志文件“%1”：%2").arg(logFile, reason);
}
} // namespace JobText

namespace {

// Quits the job's engine application on every way out.
class ApplicationOfJob
{
public:
    explicit ApplicationOfJob(std::unique_ptr<OfficeApplication> app) : m_app(std::move(app)) {}
    ~ApplicationOfJob() { quit(); }
    OfficeApplication& operator*() const { return *m_app; }
    void quit()
    {
        if (!m_app)
            return;
        try {
            m_app->Quit();
        } catch (...) {
            // The backend's destructor ends the process all the same.
        }
        m_app.reset();
    }

private:
    std::unique_ptr<OfficeApplication> m_app;
};

std::unique_ptr<OfficeApplication> CreateApplication(OfficeEngine& engine)
{
    std::unique_ptr<OfficeApplication> app;
    try {
        app = engine.CreateApplication();
    } catch (...) {
        throw EngineStartFailure{EngineError::fromCurrentException().description()};
    }
    if (!app)
        throw EngineStartFailure{QStringLiteral("引擎没有返回应用程序对象。")};
    return app;
}

// The options read one call at a time: the workers of several offices read them for every page.
class SerialOptions : public OptionsSource
{
public:
    SerialOptions(const OptionsSource& options, std::mutex& mutex) : m_options(options), m_mutex(mutex) {}
    ConversionOptions options() const override
    {
        const std::lock_guard lock(m_mutex);
        return m_options.options();
    }

private:
    const OptionsSource& m_options;
    std::mutex& m_mutex;
};

// What the offices of one job share: the window, the next document and how the job ends.
struct Lanes
{
    Lanes(JobWindow& window, int documents)
        : window(window), options(window.jobOptions(), windowCalls), documents(documents)
    {}

    // The first way out other than a stop decides how the job ended; every way out ends the others.
    void endWith(JobOutcome::End how, const QString& why)
    {
        const std::lock_guard lock(windowCalls);
        if (end == JobOutcome::End::Finished || (end == JobOutcome::End::Stopped && how != end)) {
            end = how;
            reason = why;
        }
    }
    // Called with windowCalls held.
    bool mustStop() { return end != JobOutcome::End::Finished || window.stopRequested(); }

    std::mutex windowCalls; // one window call at a time
    JobWindow& window;
    SerialOptions options;
    const int documents;
    int next = 0;
    JobOutcome::End end = JobOutcome::End::Finished;
    QString reason;
    int done = 0;
    int failed = 0;
    bool errorLogged = false;
};

// One office's share of the job: the next document of the list until none is left, then quit.
void RunLane(const JobKind& kind, ApplicationOfJob& app, Lanes& lanes)
{
    JobLog log(lanes.options);
    const std::function<void()> keepAlive = [&lanes] {
        const std::lock_guard lock(lanes.windowCalls);
        lanes.window.keepAlive();
        if (lanes.mustStop())
            throw JobStopped{};
    };
    try {
        for (;;) {
            int index = 0;
            QString path;
            {
                const std::lock_guard lock(lanes.windowCalls);
                if (lanes.next >= lanes.documents)
                    break;
                if (lanes.mustStop())
                    throw JobStopped{};
                index = lanes.next++;
                lanes.window.showProgress(JobText::Progress(index + 1));
                path = lanes.window.documentPath(index);
            }
            const int recordsBefore = log.records();
            kind.worker(*app, path, lanes.options, log, keepAlive);
            const std::lock_guard lock(lanes.windowCalls);
            const bool failed = log.records() > recordsBefore;
            ++lanes.done;
            lanes.failed += failed ? 1 : 0;
            lanes.window.documentDone(index, failed);
        }
    } catch (const JobStopped&) {
        lanes.endWith(JobOutcome::End::Stopped, QString());
    } catch (const EngineStartFailure& failure) {
        lanes.endWith(JobOutcome::End::EngineNotStarted, failure.description);
    } catch (...) {
        // Workers never throw; this is the window or the list failing under the job.
        lanes.endWith(JobOutcome::End::Aborted, EngineError::fromCurrentException().description());
    }
    app.quit();
    const std::lock_guard lock(lanes.windowCalls);
    lanes.errorLogged = lanes.errorLogged || log.errorLogged();
}

// Waits for the offices' threads on every way out.
struct LaneThreads
{
    std::vector<std::thread> threads;
    ~LaneThreads()
    {
        for (std::thread& thread : threads)
            thread.join();
    }
};

} // namespace

BatchJob::BatchJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
    : m_window(window), m_engine(engine), m_viewer(viewer)
{}

void BatchJob::inform(const QString& text)
{
    m_window.dialogs().message(text, MessageIcon::Information, MessageButtons::Ok);
}

bool BatchJob::checkInput(const JobKind& kind)
{
    if (m_window.documentCount() <= 0) {
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
    // Only the last level is made: a folder under a missing parent is most likely a typing error.
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
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
    } else {
        const ConversionOptions options = m_window.jobOptions().options();
        if (options.pageRange && (options.firstPage.isEmpty() || options.lastPage.isEmpty() ||
                                  !IsValidPageRange(options.firstPage, options.lastPage))) {
            inform(JobText::BadPageRange());
            return false;
        }
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

JobOutcome BatchJob::run(const JobKind& kind)
{
    return run(kind, 1);
}

JobOutcome BatchJob::run(const JobKind& kind, int offices)
{
    JobOutcome outcome;
    QString reason;
    bool errorLogged = false;
    try {
        if (!checkInput(kind))
            return outcome;
        lock();
        std::vector<std::unique_ptr<ApplicationOfJob>> apps;
        const int documents = m_window.documentCount();
        for (int i = std::clamp(offices, 1, std::max(documents, 1)); i > 0; --i) {
            apps.push_back(std::make_unique<ApplicationOfJob>(CreateApplication(m_engine)));
            // Grammar checking only slows the job down; a backend that cannot switch it off still works.
            try {
                (**apps.back()).Options().setCheckGrammarAsYouType(false);
                (**apps.back()).Options().setCheckGrammarWithSpelling(false);
            } catch (...) {
            }
        }
        Lanes lanes(m_window, documents);
        {
            LaneThreads others;
            for (std::size_t i = 1; i < apps.size(); ++i) {
                try {
                    others.threads.emplace_back(
                        [&kind, &app = *apps[i], &lanes] { RunLane(kind, app, lanes); });
                } catch (const std::system_error&) {
                    break; // fewer offices share the documents
                }
            }
            RunLane(kind, *apps.front(), lanes);
        }
        outcome = {lanes.end, lanes.done, lanes.failed};
        reason = lanes.reason;
        errorLogged = lanes.errorLogged;
    } catch (const EngineStartFailure& failure) {
        outcome.end = JobOutcome::End::EngineNotStarted;
        reason = failure.description;
    } catch (...) {
        outcome.end = JobOutcome::End::Aborted;
        reason = EngineError::fromCurrentException().description();
    }
    switch (outcome.end) {
    case JobOutcome::End::Refused:
    case JobOutcome::End::Finished:
        break;
    case JobOutcome::End::EngineNotStarted:
        endEarly(JobText::EngineNotStarted(reason), errorLogged);
        return outcome;
    case JobOutcome::End::Aborted:
        endEarly(JobText::JobAborted(reason), errorLogged);
        return outcome;
    case JobOutcome::End::Stopped:
        endEarly(JobText::Stopped(), errorLogged);
        return outcome;
    }
    m_window.setBusy(false);
    inform(kind.completionMessage);
    m_window.setJobControlEnabled(JobControl::txtOutDir, true);
    m_window.setJobControlEnabled(JobControl::CmdDo, true);
    m_window.setJobControlEnabled(JobControl::CmdPicExtract, true);
    m_window.showProgress(JobText::Finished());
    if (errorLogged)
        offerLog();
    m_window.setJobControlEnabled(JobControl::txtLog, true);
    return outcome;
}

} // namespace quillet
