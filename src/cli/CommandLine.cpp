#include "cli/CommandLine.h"

#include "cli/CliArguments.h"
#include "cli/DocumentGathering.h"
#include "cli/StopSignals.h"
#include "cli/TerminalJobWindow.h"
#include "cli/TerminalReport.h"
#include "convert/ConversionJob.h"
#include "doclist/DocumentList.h"
#include "doclist/FolderScan.h"
#include "extract/ExtractionJob.h"
#include "jobs/LogFile.h"
#include "platform/TextViewer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>

namespace quillet {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitSomeFailed = 1;
constexpr int ExitUsage = 2;

// The frame only opens the log when its question is answered yes, which never happens here.
class NoTextViewer : public TextViewer
{
public:
    QString open(const QString&) override { return QStringLiteral("命令行不打开日志"); }
};

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
    WriteTo(stderr, QStringLiteral("quillet: %1\n请运行“quillet --help”查看用法。\n").arg(text));
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
        // "FROM-TO"; whatever else was typed reaches the job's own range check and is refused there.
        const QString& pages = *arguments.pages;
        const int dash = pages.indexOf(QLatin1Char('-'));
        options.allPages = false;
        options.pageRange = true;
        options.firstPage = dash < 0 ? pages : pages.left(dash);
        options.lastPage = dash < 0 ? QString() : pages.mid(dash + 1);
    }
    return options;
}

int RunJob(const CliArguments& arguments, OfficeEngine& engine, StopSignals& stopSignals)
{
    DocumentList list;
    const QString listError = GatherDocuments(list, arguments.paths, arguments.listFiles);
    if (!listError.isEmpty())
        return Failure(listError);
    if (stopSignals.received() != 0)
        return 128 + stopSignals.received();
    // An output folder that exists but takes no files would fail every picture: better said at once.
    const QString& folder = arguments.outputFolder;
    if (QFileInfo(folder).isDir() && !canCreateFilesIn(folder))
        return Failure(QStringLiteral("无法在图片保存目录“%1”中写入文件。").arg(folder));
    // The job loses log lines it cannot write without a word; the summary would name a log that is not there.
    const ConversionOptions options = OptionsOf(arguments);
    if (!arguments.logFile.isEmpty() && !canWriteFile(options.logPath))
        return Failure(QStringLiteral("无法写入日志文件“%1”。").arg(options.logPath));

    const bool convert = arguments.action == CliArguments::Action::Convert;
    TerminalReport report = TerminalReport::forStandardStreams(
        static_cast<int>(list.count()), convert ? QStringLiteral("页") : QStringLiteral("个对象"));
    const SignalNotice notice(stopSignals, report);
    TerminalJobWindow window(list.entries(), options, report, stopSignals);
    NoTextViewer viewer;
    const JobOutcome outcome = BatchJob(window, engine, viewer)
                                   .run(convert ? ConversionJobKind() : ExtractionJobKind(), arguments.jobs);
    report.finish();

    switch (outcome.end) {
    case JobOutcome::End::Refused:
    case JobOutcome::End::EngineNotStarted:
        return ExitUsage;
    case JobOutcome::End::Aborted:
        return ExitSomeFailed;
    case JobOutcome::End::Stopped:
        report.message(QStringLiteral("%1 个文档已处理完（其中 %2 个失败），%3 个没有处理完。")
                           .arg(outcome.documentsDone)
                           .arg(outcome.documentsFailed)
                           .arg(window.documentCount() - outcome.documentsDone));
        return stopSignals.received() != 0 ? 128 + stopSignals.received() : ExitSomeFailed;
    case JobOutcome::End::Finished:
        break;
    }
    if (outcome.documentsFailed == 0)
        return ExitDone;
    report.message(QStringLiteral("%1 个文档中有 %2 个处理失败，原因见日志“%3”。")
                       .arg(outcome.documentsDone)
                       .arg(outcome.documentsFailed)
                       .arg(options.logPath));
    return ExitSomeFailed;
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

int RunCommandLine(int argc, char** argv, OfficeEngine& engine)
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
    return RunJob(arguments, engine, stopSignals);
}

} // namespace quillet
