#include "cli/CommandLine.h"

#include "cli/CliArguments.h"
#include "cli/DocumentGathering.h"
#include "cli/StopSignals.h"
#include "cli/TerminalReport.h"
#include "convert/ConversionJob.h"
#include "doclist/FolderScan.h"
#include "extract/ExtractionJob.h"
#include "jobs/ConversionOptions.h"
#include "jobs/FilePrefix.h"
#include "jobs/JobRunner.h"
#include "jobs/JobText.h"
#include "jobs/LogFile.h"
#include "jobs/PageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>

namespace quillet {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitSomeFailed = 1;
constexpr int ExitUsage = 2;

// The first signal is told at once, even while an office call is running.
class SignalNotice
{
public:
    SignalNotice(StopSignals& stopSignals, TerminalReport& report) : m_signals(stopSignals)
    {
        m_signals.setOnFirstSignal([&report] {
            report.message(QStringLiteral("收到停止信号，当前一步完成后停止（再按一次 Ctrl-C 立即结束）"));
        });
    }
    ~SignalNotice() { m_signals.setOnFirstSignal({}); }

private:
    StopSignals& m_signals;
};

int UsageError(const QString& text)
{
    WriteTo(stderr, QStringLiteral("quillet: %1\n").arg(text) + CliUsageText() +
                        QStringLiteral("请运行“quillet --help”查看详细说明。\n"));
    return ExitUsage;
}

int Failure(const QString& text)
{
    WriteTo(stderr, QStringLiteral("quillet: %1\n").arg(text));
    return ExitUsage;
}

ConversionOptions OptionsOf(const CliArguments& arguments)
{
    ConversionOptions options;
    options.outputFolder = arguments.outputFolder;
    options.logPath = arguments.logFile.isEmpty()
                          ? withTrailingSeparator(arguments.outputFolder) + kLogFileName
                          : arguments.logFile;
    options.logPath = QFileInfo(options.logPath).absoluteFilePath();
    if (arguments.pages) {
        // "FROM-TO"; whatever else was typed is refused by the range check.
        const QString& pages = *arguments.pages;
        const int dash = pages.indexOf(QLatin1Char('-'));
        options.allPages = false;
        options.pageRange = true;
        options.firstPage = dash < 0 ? pages : pages.left(dash);
        options.lastPage = dash < 0 ? QString() : pages.mid(dash + 1);
    }
    return options;
}

// The options as the window's checks would leave them: the output folder made and ending with the
// separator; and the checks only a command line needs. An error text when the job cannot start.
QString PrepareOptions(const CliArguments& arguments, ConversionOptions& options)
{
    const QString& typed = arguments.outputFolder;
    if (typed.trimmed().isEmpty())
        return JobText::NoOutputFolder();
    options.outputFolder = withTrailingSeparator(typed);
    if (!MakeOutputFolder(options.outputFolder))
        return JobText::FolderNotCreated(options.outputFolder);
    // An output folder that takes no files would fail every picture: better said at once.
    if (!canCreateFilesIn(options.outputFolder))
        return QStringLiteral("无法在图片保存目录“%1”中写入文件。").arg(typed);
    // The job loses log lines it cannot write without a word; the summary would name a log that is not there.
    if (!arguments.logFile.isEmpty() && !canWriteFile(options.logPath))
        return QStringLiteral("无法写入日志文件“%1”。").arg(options.logPath);
    if (!HasValidPageRange(options))
        return JobText::BadPageRange();
    return QString();
}

// The closing lines of a job that ran, and the exit status they go with.
int Summary(const JobResult& result, const JobKind& kind, qsizetype documents, const QString& logPath,
            TerminalReport& report, int signal)
{
    const int processed = result.done + result.failed;
    switch (result.end) {
    case JobResult::End::EngineNotStarted:
        report.message(JobText::EngineNotStarted(result.reason));
        return ExitUsage;
    case JobResult::End::Aborted:
        report.message(JobText::JobAborted(result.reason));
        return ExitSomeFailed;
    case JobResult::End::EngineLost:
        report.message(
            QStringLiteral("%1 个文档中 %2 个已完成，%3 个失败，%4 个未处理：文档处理引擎（LibreOffice）"
                           "无法再次启动（%5）。每个失败或未处理的文档在日志“%6”中有一行。")
                .arg(documents)
                .arg(result.done)
                .arg(result.failed)
                .arg(result.notAttempted)
                .arg(result.reason, logPath));
        return ExitSomeFailed;
    case JobResult::End::Stopped:
        report.message(QStringLiteral("%1 个文档已处理完（其中 %2 个失败），%3 个没有处理完。")
                           .arg(processed)
                           .arg(result.failed)
                           .arg(documents - processed));
        return signal != 0 ? 128 + signal : ExitSomeFailed;
    case JobResult::End::Finished:
        break;
    }
    report.message(kind.completionMessage);
    if (result.failed == 0)
        return ExitDone;
    report.message(QStringLiteral("%1 个文档中有 %2 个处理失败，原因见日志“%3”。")
                       .arg(processed)
                       .arg(result.failed)
                       .arg(logPath));
    return ExitSomeFailed;
}

int RunJob(const CliArguments& arguments, const EngineMaker& makeEngine, StopSignals& stopSignals)
{
    const GatheredDocuments gathered = GatherDocuments(arguments.paths, arguments.listFiles, arguments.tree);
    if (!gathered.error.isEmpty())
        return Failure(gathered.error);
    for (const QString& folder : gathered.unreadableFolders)
        WriteTo(stderr, QStringLiteral("quillet: 无法读取文件夹“%1”，其中的文档没有处理。\n").arg(folder));
    if (stopSignals.received() != 0)
        return 128 + stopSignals.received();
    const QList<JobDocument>& documents = gathered.documents;
    if (documents.isEmpty())
        return Failure(JobText::NoDocuments());
    ConversionOptions options = OptionsOf(arguments);
    const QString optionsError = PrepareOptions(arguments, options);
    if (!optionsError.isEmpty())
        return Failure(optionsError);

    const bool convert = arguments.action == CliArguments::Action::Convert;
    const JobKind kind =
        convert ? ConversionJobKind(QLatin1Char('.') + pdfpages::formatName(arguments.pageStyle.format))
                : ExtractionJobKind();
    QStringList paths;
    for (const JobDocument& document : documents)
        paths << document.path;
    TerminalReport report =
        TerminalReport::forStandardStreams(paths, convert ? QStringLiteral("页") : QStringLiteral("个对象"),
                                           [&stopSignals] { return stopSignals.received() != 0; });
    const SignalNotice notice(stopSignals, report);
    report.start();
    const JobResult result = JobRunner(makeEngine(arguments.pageStyle), FixedOptions(options), report)
                                 .run(kind, documents, arguments.jobs);
    report.finish();
    const int status =
        Summary(result, kind, documents.size(), options.logPath, report, stopSignals.received());
    if (!gathered.unreadableFolders.isEmpty())
        report.message(QStringLiteral("%1 个文件夹无法读取（见上），其中的文档没有处理。")
                           .arg(gathered.unreadableFolders.size()));
    return status;
}

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

bool IsCommandLineInvocation(int argc, char** argv)
{
    return IsCommandLineInvocation(ArgumentsOf(argc, argv));
}

int RunCommandLine(int argc, char** argv, const EngineMaker& makeEngine)
{
    // Before any thread starts, so that every thread leaves the stop signals to the signal thread.
    StopSignals stopSignals;
    // A reader that went away (quillet ... | head) must not end the job half-way.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);

    const CliArguments arguments = ParseCliArguments(QCoreApplication::arguments().mid(1));
    if (!arguments.error.isEmpty())
        return UsageError(arguments.error);
    switch (arguments.action) {
    case CliArguments::Action::Help:
        WriteTo(stdout, CliHelpText());
        return ExitDone;
    case CliArguments::Action::Version:
        WriteTo(stdout, CliVersionText());
        return ExitDone;
    case CliArguments::Action::Convert:
    case CliArguments::Action::Extract:
        break;
    }
    return RunJob(arguments, makeEngine, stopSignals);
}

} // namespace quillet
