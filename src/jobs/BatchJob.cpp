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
#include <exception>
#include <memory>

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
    try {
        std::unique_ptr<OfficeApplication> app = engine.CreateApplication();
        if (app)
            return app;
        throw EngineError(ErrorNumber::EngineUnavailable, QStringLiteral("引擎没有返回应用程序对象。"));
    } catch (...) {
        throw EngineStartFailure{EngineError::fromCurrentException().description()};
    }
}

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
void BatchJob::endEarly(const QString& message, const JobLog& log)
{
    unlock();
    m_window.showProgress(QString());
    inform(message);
    if (log.errorLogged())
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

void BatchJob::run(const JobKind& kind)
{
    JobLog log(m_window.jobOptions());
    try {
        if (!checkInput(kind))
            return;
        lock();
        ApplicationOfJob app(CreateApplication(m_engine));
        // Grammar checking only slows the job down; a backend that cannot switch it off still works.
        try {
            (*app).Options().setCheckGrammarAsYouType(false);
            (*app).Options().setCheckGrammarWithSpelling(false);
        } catch (...) {
        }
        const std::function<void()> keepAlive = [this] { m_window.keepAlive(); };
        const int count = m_window.documentCount();
        for (int i = 1; i <= count; ++i) {
            m_window.showProgress(JobText::Progress(i));
            const QString path = m_window.documentPath(i - 1);
            kind.worker(*app, path, m_window.jobOptions(), log, keepAlive);
        }
        app.quit();
    } catch (const EngineStartFailure& failure) {
        endEarly(JobText::EngineNotStarted(failure.description), log);
        return;
    } catch (...) {
        // Workers never throw; this is the window or the list failing under the job.
        endEarly(JobText::JobAborted(EngineError::fromCurrentException().description()), log);
        return;
    }
    m_window.setBusy(false);
    inform(kind.completionMessage);
    m_window.setJobControlEnabled(JobControl::txtOutDir, true);
    m_window.setJobControlEnabled(JobControl::CmdDo, true);
    m_window.setJobControlEnabled(JobControl::CmdPicExtract, true);
    m_window.showProgress(JobText::Finished());
    if (log.errorLogged()) {
        offerLog();
        log.clearErrorLogged();
    }
    m_window.setJobControlEnabled(JobControl::txtLog, true);
}

} // namespace quillet
