// The real quillet program on the command line, run as a child without a display, on a real office
// and documents the tests build. Every run must leave no office process and no temporary folder.

#include "TestDocuments.h"
#include "support/PictureChecks.h"
#include "support/QtPrinting.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using namespace quillet::testing;

namespace {

const QString kQuillet = QStringLiteral(QUILLET_PATH);

struct Result
{
    int status = -1; // -1: did not end by itself
    QString out;
    QString err;
};

bool WaitFor(const std::function<bool()>& condition, int seconds)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

class CommandLine : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_tmp)); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A built document of `pages` pages copied to `name` under the test's folder.
    QString document(const QString& name, int pages, bool pictures = false)
    {
        TestDocumentSpec spec;
        spec.pages = pages;
        spec.pictures = pictures;
        QDir().mkpath(QFileInfo(path(name)).path());
        EXPECT_TRUE(QFile::copy(testDocument(spec, QFileInfo(name).suffix()), path(name)));
        return path(name);
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path(name);
    }
    // Names of the files in `folder` that match `pattern`, sorted.
    QStringList written(const QString& folder, const QString& pattern = QStringLiteral("*.emf")) const
    {
        return QDir(path(folder)).entryList({pattern}, QDir::Files, QDir::Name);
    }

    // The documents the log in `folder` names, sorted; each line must be whole: time, tab, path, reason.
    QStringList logged(const QString& folder) const
    {
        static const QRegularExpression line(
            QStringLiteral("^[^\t]+ \\d\\d:\\d\\d:\\d\\d\t处理(.+)处错：[^\r\n]+$"));
        QFile log(path(folder + "/Quillet.log"));
        log.open(QIODevice::ReadOnly);
        QStringList documents;
        for (const QString& text : QString::fromUtf8(log.readAll()).split("\r\n", Qt::SkipEmptyParts))
            documents << line.match(text).captured(1);
        documents.sort();
        return documents;
    }

    // Processes of offices our children started: their command lines name our private temp folder.
    int officeProcesses() const
    {
        const QByteArray marker = (m_tmp + QStringLiteral("/quillet-lo-")).toUtf8();
        int count = 0;
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
            if (entry.toLongLong() > 0 && cmdline.open(QIODevice::ReadOnly) &&
                cmdline.readAll().contains(marker))
                ++count;
        }
        return count;
    }
    void expectNothingLeft() const
    {
        EXPECT_TRUE(WaitFor([this] { return officeProcesses() == 0; }, 20)) << "an office outlived quillet";
        EXPECT_EQ(QDir(m_tmp).entryList({QStringLiteral("quillet-*")}, QDir::AllEntries | QDir::Hidden),
                  QStringList());
    }

    Result quillet(const QStringList& arguments, const QMap<QString, QString>& env = {},
                   const std::function<void(QProcess&)>& whileRunning = {}, const QString& program = kQuillet)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(display));
        environment.insert(QStringLiteral("TMPDIR"), m_tmp);
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("PATH"), QFileInfo(kQuillet).path() + QLatin1Char(':') +
                                                       environment.value(QStringLiteral("PATH")));
        for (auto it = env.begin(); it != env.end(); ++it)
            environment.insert(it.key(), it.value());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir.path());
        process.start(program, arguments);
        if (whileRunning)
            whileRunning(process);
        const bool ended = process.waitForFinished(600000);
        if (!ended) {
            process.kill();
            process.waitForFinished();
        }
        expectNothingLeft();
        return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/quillet-cli-test-XXXXXX")};
    const QString m_tmp = m_dir.filePath(QStringLiteral("tmp"));
};

TEST_F(CommandLine, ExitStatusMessagesAndFilesWritten)
{
    const QString good = document("good.docx", 2);
    const QString broken = file("broken.docx", "no document at all");
    const QString pictures = document("pictures.docx", 1, true);
    const QString regular = file("regular", "x");
    QDir().mkpath(path("empty"));
    // An open window's one-copy lock does not concern the command line.
    const QString run = path("run");
    QDir().mkpath(run);
    QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QLockFile window(run + QStringLiteral("/quillet.lock"));
    ASSERT_TRUE(window.tryLock(0));
    const QString out = path("out");
    const QStringList both{"good-1.emf", "good-2.emf"};
    struct Case
    {
        QStringList arguments;
        int status;
        QString says; // on stderr, or on stdout for help and version
        QStringList pictures;
        QMap<QString, QString> env;
    };
    const Case cases[] = {
        {{"convert", out, good}, 0, "转换完毕！", both, {{"XDG_RUNTIME_DIR", run}}},
        {{"convert", out, broken, good}, 1, "2 个文档中有 1 个处理失败", both},
        {{"convert", "--pages=2-2", out, good}, 0, "转换完毕！", {"good-2.emf"}},
        {{"extract", out, pictures},
         0,
         "图像提取完毕！",
         {"pictures-1.bmp", "pictures-2.bmp", "pictures-3.bmp"}},
        {{"convert", out, "--pages", "2-1", good}, 2, "请输入正确的页码范围", {}},
        {{"convert", out, "--pages", "x", good}, 2, "请输入正确的页码范围", {}},
        {{"convert", regular + "/out", good}, 2, "无法创建图片保存目录", {}},
        {{"convert", "/proc", good}, 2, "无法在图片保存目录“/proc”中写入文件", {}},
        {{"convert", out, path("empty")}, 2, "没有需要处理的文档", {}},
        {{"convert", out, "--log", regular + "/x.log", good}, 2, "无法写入日志文件", {}},
        {{"convert", out, good}, 2, "无法启动文档处理引擎", {}, {{"TMPDIR", "/proc/no-such-folder"}}},
        {{"convert", out}, 2, "缺少要处理的文档或文件夹", {}},
        {{"convert", out, "--jobs", "0", good}, 2, "--jobs 需要", {}},
        {{"extract", out, "--pages", "1-2", good}, 2, "extract 命令没有 --pages 选项", {}},
        {{"convert", out, "--frobnicate", good}, 2, "未知选项“--frobnicate”", {}},
        {{"frobnicate", out, good}, 2, "未知命令“frobnicate”", {}},
        {{"--help"}, 0, "quillet convert 输出目录 [选项] 路径...", {}},
        {{"--version"}, 0, "quillet 1.", {}},
    };
    for (const Case& c : cases) {
        QDir(out).removeRecursively();
        const Result result = quillet(c.arguments, c.env);
        const std::string what = (c.arguments.join(' ') + "\n" + result.err).toStdString();
        EXPECT_EQ(result.status, c.status) << what;
        EXPECT_TRUE((result.err.isEmpty() ? result.out : result.err).contains(c.says)) << what;
        EXPECT_EQ(written("out", "*-*.*"), c.pictures) << what;
        // The failure is the broken document's one line, in the output folder's log by default.
        EXPECT_EQ(logged("out"), c.status == 1 ? QStringList{broken} : QStringList()) << what;
    }
}

TEST_F(CommandLine, FoldersAndListsGiveEachDocumentOnceInOrder)
{
    document("docs/a.docx", 1);
    document("docs/sub/b.doc", 1);
    document("docs/sub/c.rtf", 1); // no folder search takes .rtf; the list names it
    document("中文/报告.docx", 1);
    // Relative to the working folder, a blank line, CR LF, a document the folder gave already.
    file("list.txt", "中文/报告.docx\n\n  \ndocs/sub/c.rtf\r\ndocs/a.docx\n");
    const Result result = quillet({"convert", "out", "docs", "--list", "list.txt"});
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(written("out"), QStringList({"a-1.emf", "b-1.emf", "c-1.emf", "报告-1.emf"}));
    // Not a terminal: one line per document, in list order.
    QStringList lines;
    for (const char* document : {"docs/a.docx", "docs/sub/b.doc", "中文/报告.docx", "docs/sub/c.rtf"})
        lines
            << QStringLiteral("%1/4\t完成\t%2").arg(lines.size() + 1).arg(path(QString::fromUtf8(document)));
    EXPECT_EQ(result.out.split('\n', Qt::SkipEmptyParts), lines);
}

TEST_F(CommandLine, CtrlCStopsAfterTheCurrentPageAndLeavesWholePicturesOnly)
{
    QStringList arguments{"convert", "out"};
    for (int i = 1; i <= 3; ++i)
        arguments << document(QStringLiteral("long%1.docx").arg(i), 12);
    const Result result = quillet(arguments, {}, [this](QProcess& process) {
        ASSERT_TRUE(WaitFor([&] { return !written("out").isEmpty() || process.waitForFinished(50); }, 300));
        ASSERT_EQ(process.state(), QProcess::Running);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    });
    EXPECT_EQ(result.status, 130) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("没有处理完"))) << result.err.toStdString();
    const QStringList names = QDir(path("out")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_GT(names.size(), 0);
    EXPECT_LT(names.size(), 36);
    for (const QString& name : names) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^long[123]-\\d+\\.emf$")).match(name).hasMatch())
            << name.toStdString();
        QFile picture(path(QStringLiteral("out/") + name));
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
        EXPECT_TRUE(IsWellFormedEmf(picture.readAll())) << name.toStdString();
    }
}

TEST_F(CommandLine, TwoOfficesWriteTheSameFilesAsOneAndWholeLogLines)
{
    QStringList documents;
    for (int i = 1; i <= 4; ++i)
        documents << document(QStringLiteral("d%1.docx").arg(i), i);
    documents << file("x1.docx", "broken") << file("x2.docx", "broken");
    for (const QString& jobs : {"1", "2"}) {
        const Result result = quillet(QStringList{"convert", "out" + jobs, "--jobs", jobs} + documents);
        EXPECT_EQ(result.status, 1) << result.err.toStdString();
        EXPECT_EQ(logged("out" + jobs), documents.mid(4));
    }
    EXPECT_EQ(written("out2"), written("out1"));
    EXPECT_EQ(written("out2").size(), 1 + 2 + 3 + 4);
}

// README's recipe for many machines, with two workers on this machine: the corpus is split into
// shards with `split`, GNU parallel runs one quillet per shard over ssh (here a stand-in that runs
// the command locally), and every page of every document must be written exactly once.
TEST_F(CommandLine, GnuParallelRecipeWritesEveryPageOnce)
{
    std::map<QString, int> expected;
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("doc%1").arg(i);
        document(QStringLiteral("corpus/%1/%2.docx").arg(i % 2 ? "a" : "b", name), i % 3 + 1);
        for (int page = 1; page <= i % 3 + 1; ++page)
            expected[QStringLiteral("%1-%2.emf").arg(name).arg(page)] = 1;
    }
    file("ssh",
         "#!/bin/sh\n"
         "while [ $# -gt 0 ]; do case \"$1\" in -o|-p|-l|-i) shift 2;; -*) shift;; *) break;; esac; done\n"
         "shift; [ \"$1\" = \"--\" ] && shift; exec sh -c \"$*\"\n");
    QFile::setPermissions(path("ssh"), QFile::ReadOwner | QFile::ExeOwner);
    QDir().mkpath(path("out"));
    const QString recipe =
        QStringLiteral("cd corpus && find . -type f \\( -name '*.doc' -o -name '*.docx' \\) > all.txt && "
                       "split -n r/3 all.txt shard- && "
                       "parallel --ssh %1 --sshlogin 1/worker1,1/worker2 --workdir . "
                       "quillet convert %2/{} --jobs 2 --list {} ::: shard-*")
            .arg(path("ssh"), path("out"));
    const Result result = quillet({"-c", recipe}, {}, {}, "/bin/sh");
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    std::map<QString, int> pages;
    for (const QString& shard : QDir(path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : written(QStringLiteral("out/") + shard))
            ++pages[name];
    EXPECT_EQ(pages, expected);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
}

} // namespace
