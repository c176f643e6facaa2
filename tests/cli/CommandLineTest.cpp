// The real quillet program on the command line, run as a child without a display, on a real office
// and documents the tests build. Every run must leave no office process and no temporary folder.

#include "OfficeProcessProbe.h"
#include "TestDocuments.h"
#include "support/JobTestSupport.h"
#include "support/PageDifference.h"
#include "support/PictureChecks.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace quillet::testing;

namespace {

class CommandLine : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A built document of `pages` pages copied to `name` under the test's folder.
    QString document(const QString& name, int pages, bool pictures = false)
    {
        return file(name, FileBytes(testDocument({pages, 0, pictures}, QFileInfo(name).suffix())));
    }
    QString file(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return path(name);
    }
    QStringList written(const QString& folder) const
    {
        return QDir(path(folder)).entryList({"*-*.*"}, QDir::Files, QDir::Name);
    }
    // The documents the log in `folder` names, sorted; each line must be whole: time, tab, path, reason.
    QStringList logged(const QString& folder) const
    {
        static const QRegularExpression line("^[^\t]+ \\d\\d:\\d\\d:\\d\\d\t处理(.+)处错：[^\r\n]+$");
        QStringList documents = LogLines(path(folder + "/Quillet.log")).replaceInStrings(line, "\\1");
        documents.sort();
        return documents;
    }

    // Runs the program without a display, in the test's folder and with a private temporary folder,
    // and as root without the power to read every folder, as a user would; its exit status (-1 when
    // it did not end by itself), its output in m_out and m_err.
    int quillet(const QStringList& arguments, const QStringList& env = {},
                const std::function<void(QProcess&)>& whileRunning = {},
                const QString& program = QUILLET_PATH)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(display);
        const QString path = QFileInfo(QUILLET_PATH).path() + ':' + environment.value("PATH");
        for (const QString& setting : QStringList{"TMPDIR=" + m_tmp, "LC_ALL=C.UTF-8", "PATH=" + path} + env)
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        QDir().mkpath(m_tmp);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir.path());
        const QStringList asUser{"--bounding-set=-dac_override,-dac_read_search", program};
        geteuid() == 0 ? process.start("setpriv", asUser + arguments) : process.start(program, arguments);
        if (!process.waitForStarted()) {
            ADD_FAILURE() << program.toStdString() << ": " << process.errorString().toStdString();
            return -1;
        }
        if (whileRunning)
            whileRunning(process);
        if (!process.waitForFinished(600000))
            process.kill();
        process.waitForFinished();
        // Our children's offices name our private temporary folder on their command line.
        EXPECT_EQ(officeLeftovers(m_tmp + "/quillet-lo-"), QStringList()) << "an office outlived quillet";
        EXPECT_EQ(QDir(m_tmp).entryList({"quillet-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
        m_out = process.readAllStandardOutput();
        m_err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir m_dir{QDir::tempPath() + "/quillet-cli-test-XXXXXX"};
    const QString m_tmp = m_dir.filePath("tmp");
    QString m_out, m_err;
};

TEST_F(CommandLine, ExitStatusMessagesAndFilesWritten)
{
    const QString good = document("good.docx", 2), pictures = document("pictures.docx", 1, true);
    const QString broken = file("broken.docx", "no document at all"), regular = file("regular", "x");
    QDir().mkpath(path("empty"));
    const QString tree = path("tree"), locked = path("tree/locked"); // a folder no one may read
    ASSERT_TRUE(QDir().mkpath(locked) && QFile::copy(good, tree + "/good.docx") &&
                QFile::setPermissions(locked, QFileDevice::Permissions()));
    // An open window's one-copy lock does not concern the command line.
    const QString run = path("run");
    QLockFile window(run + "/quillet.lock");
    ASSERT_TRUE(QDir().mkdir(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
                window.tryLock(0));
    const QString out = path("out");
    const struct
    {
        QStringList arguments;
        int status;
        QString says;              // on stderr, or on stdout for help and version ("|" between parts)
        QStringList pictures, env; // env: NAME=value
    } cases[] = {
        // clang-format off
        {{"convert", out, good}, 0, "转换完毕！", {"good-1.emf", "good-2.emf"}, {"XDG_RUNTIME_DIR=" + run}},
        {{"convert", out, broken, good}, 1, "2 个文档中有 1 个处理失败", {"good-1.emf", "good-2.emf"}},
        {{"convert", "--pages=2-2", out, good}, 0, "转换完毕！", {"good-2.emf"}},
        {{"--jobs", "1", "convert", out, good}, 0, "转换完毕！", {"good-1.emf", "good-2.emf"}}, // an option first
        {{"extract", out, pictures}, 0, "图像提取完毕！", {"pictures-1.bmp", "pictures-2.bmp", "pictures-3.bmp"}},
        {{"convert", out, "--pages", "2-1", good}, 2, "请输入正确的页码范围", {}},
        {{"convert", out, "--pages", "x", good}, 2, "请输入正确的页码范围", {}},
        {{"convert", regular + "/out", good}, 2, "无法创建图片保存目录", {}},
        {{"convert", "/proc", good}, 2, "无法在图片保存目录“/proc”中写入文件", {}},
        {{"convert", out, path("empty")}, 2, "没有需要处理的文档", {}},
        {{"convert", out, tree}, 0, "无法读取文件夹“" + locked + "”|1 个文件夹无法读取", {"good-1.emf", "good-2.emf"}},
        {{"convert", out, "--log", regular + "/x.log", good}, 2, "无法写入日志文件", {}},
        {{"convert", out, good}, 2, "无法启动文档处理引擎", {}, {"TMPDIR=/proc/no-such-folder"}},
        {{"convert", out}, 2, "缺少要处理的文档或文件夹", {}},
        {{"convert", out, "--jobs", "0", good}, 2, "--jobs 需要", {}},
        {{"extract", out, "--pages", "1-2", good}, 2, "extract 命令没有 --pages 选项", {}},
        {{"convert", out, "--format", "gif", good}, 2, "--format 需要 emf、svg、png 或 pdf", {}},
        {{"convert", out, "--format", "svg", "--dpi", "300", good}, 2, "--dpi 只用于 --format png", {}},
        {{"convert", out, "--format=png", "--dpi=20", good}, 2, "--dpi 需要 36 到 1200", {}},
        {{"extract", out, "--format", "png", pictures}, 2, "extract 命令没有 --format 选项", {}},
        {{"convert", out, "--frobnicate", good}, 2, "未知选项“--frobnicate”", {}},
        {{"frobnicate", out, good}, 2, "未知命令“frobnicate”", {}},
        {{"--frobnicate"}, 2, "用法：", {}}, // not the window's either
        {{"--help"}, 0, "quillet convert 输出目录 [选项] 路径...", {}},
        {{"--version"}, 0, "quillet 1.", {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        QDir(out).removeRecursively();
        const int status = quillet(c.arguments, c.env);
        SCOPED_TRACE((c.arguments.join(' ') + "\n" + m_err).toStdString());
        EXPECT_EQ(status, c.status);
        for (const QString& part : c.says.split('|'))
            EXPECT_TRUE((m_err.isEmpty() ? m_out : m_err).contains(part)) << part.toStdString();
        EXPECT_EQ(written("out"), c.pictures);
        // The failure is the broken document's one line, in the output folder's log by default.
        EXPECT_EQ(logged("out"), c.status == 1 ? QStringList{broken} : QStringList());
    }
}

// A folder and a list (relative paths, a Chinese one, a blank line, CR LF, a document the folder
// gave already) give each document once, in order; two offices write the same files as one, and
// whole log lines.
TEST_F(CommandLine, FolderAndListGiveEachDocumentOnceAndTwoOfficesWriteWhatOneWrites)
{
    document("docs/a.docx", 1);
    document("docs/sub/b.doc", 2);
    document("docs/sub/c.rtf", 1); // no folder search takes .rtf; the list names it
    document("中文/报告.docx", 1);
    file("x1.docx", "broken");
    file("x2.docx", "broken");
    file("list.txt", "中文/报告.docx\n\n  \nx1.docx\ndocs/sub/c.rtf\r\ndocs/a.docx\nx2.docx\n");
    for (const QString jobs : {"1", "2"}) {
        EXPECT_EQ(quillet({"convert", "out" + jobs, "docs", "--list", "list.txt", "--jobs", jobs}), 1)
            << m_err.toStdString();
        EXPECT_EQ(logged("out" + jobs), QStringList({path("x1.docx"), path("x2.docx")}));
        if (jobs == "2")
            continue;
        // Not a terminal: one line per document, in order.
        QStringList lines;
        for (const QString document :
             {"docs/a.docx", "docs/sub/b.doc", "中文/报告.docx", "x1.docx", "docs/sub/c.rtf", "x2.docx"})
            lines << QString("%1/6\t%2\t%3")
                         .arg(lines.size() + 1)
                         .arg(document.startsWith('x') ? "失败" : "完成", path(document));
        EXPECT_EQ(m_out.split('\n', Qt::SkipEmptyParts), lines);
    }
    EXPECT_EQ(written("out1").join(' '), "a-1.emf b-1.emf b-2.emf c-1.emf 报告-1.emf");
    EXPECT_EQ(written("out2"), written("out1"));
}

// Every format is written from the one PDF export: as many files as the document's own PDF has
// pages, each page drawn like that PDF's page (PNG at its resolution against pdftoppm, SVG as
// rsvg-convert draws it, a PDF page by its words and size).
TEST_F(CommandLine, EveryFormatShowsThePagesOfTheDocumentsOwnPdf)
{
    const QString doc = document("formats.docx", 2, true);
    ConvertWithSoffice({{{doc}, "pdf", path("own")}});
    const QString own = path("own/formats.pdf");
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(120000);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    // The reference drawing of page `page` at `dpi`, as a PNG file.
    const auto reference = [&](int page, int dpi) {
        const QString base = path(QString("ref-%1-%2").arg(page).arg(dpi)), number = QString::number(page);
        run("pdftoppm",
            {"-png", "-r", QString::number(dpi), "-f", number, "-l", number, "-singlefile", own, base});
        return QImage(base + ".png");
    };
    const auto pageSize = [&](const QString& pdf, int page) {
        const QString number = QString::number(page);
        return run("pdfinfo", {"-f", number, "-l", number, pdf})
            .section("size:", 1)
            .section(" pts", 0, 0)
            .trimmed();
    };
    const auto words = [&](const QString& pdf, int page) {
        const QString number = QString::number(page);
        return run("pdftotext", {"-f", number, "-l", number, pdf, "-"})
            .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    };
    const int pages = int(pdfPages(own).size());
    ASSERT_EQ(pages, 2);
    for (const QString format : {"png", "svg", "pdf"}) {
        SCOPED_TRACE(format.toStdString());
        const QString out = "out-" + format;
        QStringList arguments{"convert", out, "--format", format, doc};
        if (format == "png")
            arguments << "--dpi"
                      << "100";
        ASSERT_EQ(quillet(arguments), 0) << m_err.toStdString();
        ASSERT_EQ(written(out), QStringList({"formats-1." + format, "formats-2." + format}));
        for (int page = 1; page <= pages; ++page) {
            const QString file = path(QString("%1/formats-%2.%3").arg(out).arg(page).arg(format));
            if (format == "pdf") {
                EXPECT_EQ(pageSize(file, 1), pageSize(own, page));
                EXPECT_EQ(words(file, 1), words(own, page));
                EXPECT_TRUE(words(file, 1).contains(pageMarker(page)));
                continue;
            }
            QImage drawn(file);
            if (format == "svg") {
                run("rsvg-convert", {"--dpi-x", "96", "--dpi-y", "96", "--background-color", "white", "-o",
                                     file + ".png", file});
                drawn = QImage(file + ".png");
            }
            const PageDifference difference =
                DifferenceOf(drawn, reference(page, format == "png" ? 100 : 96));
            EXPECT_LE(difference.share, 0.01) << page;
            EXPECT_LE(difference.tile, 30) << page;
            EXPECT_LE(difference.local, 12) << page;
        }
    }
}

TEST_F(CommandLine, CtrlCStopsAfterTheCurrentPageAndLeavesWholePicturesOnly)
{
    QStringList arguments{"convert", "out"};
    for (const QString name : {"long1.docx", "long2.docx", "long3.docx"})
        arguments << document(name, 12);
    const int status = quillet(arguments, {}, [this](QProcess& process) {
        const QDeadlineTimer deadline(300000);
        while (written("out").isEmpty() && !deadline.hasExpired() && !process.waitForFinished(50)) {
        }
        ASSERT_EQ(process.state(), QProcess::Running);
        ::kill(pid_t(process.processId()), SIGINT);
    });
    EXPECT_TRUE(status == 130 && m_err.contains("没有处理完")) << status << m_err.toStdString();
    const QStringList names = QDir(path("out")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(!names.isEmpty() && names.size() < 36) << names.size();
    for (const QString& name : names) {
        EXPECT_TRUE(QRegularExpression("^long[123]-\\d+\\.emf$").match(name).hasMatch())
            << name.toStdString();
        EXPECT_TRUE(IsWellFormedEmf(FileBytes(path("out/" + name)))) << name.toStdString();
    }
}

// README's recipe for many machines, with two workers on this machine: the corpus is split into
// shards with `split`, GNU parallel runs one quillet per shard over ssh (here a stand-in that runs
// the command locally), and every page of every document must be written exactly once, here as SVG.
TEST_F(CommandLine, GnuParallelRecipeWritesEveryPageOnce)
{
    QStringList expected;
    for (int i = 1; i <= 7; ++i) {
        document(QString("corpus/%1/doc%2.docx").arg(i % 2 ? "a" : "b").arg(i), i % 3 + 1);
        for (int page = 1; page <= i % 3 + 1; ++page)
            expected << QString("doc%1-%2.svg").arg(i).arg(page);
    }
    // As sshd does, the stand-in gives the command a login shell in SHELL and starts it in the home
    // folder: parallel's remote side runs jobs through $SHELL and does nothing without it.
    file("ssh", "#!/bin/sh\n"
                "while [ $# -gt 0 ] && [ \"$1\" != -- ]; do shift; done\n"
                "shift; export SHELL=/bin/sh; cd \"$HOME\" && exec sh -c \"$*\"\n");
    QFile::setPermissions(path("ssh"), QFile::ReadOwner | QFile::ExeOwner);
    const QString recipe =
        QString("cd corpus && find . -type f \\( -name '*.doc' -o -name '*.docx' \\) > all.txt && "
                "split -n r/3 all.txt shard- && mkdir -p %2 && "
                "parallel --ssh %1 --sshlogin 1/worker1,1/worker2 --workdir . "
                "quillet convert %2/{} --format svg --jobs 2 --list {} ::: shard-*")
            .arg(path("ssh"), path("out"));
    // Run as a service or CI job would, without a SHELL of its own.
    ASSERT_EQ(quillet({"-c", recipe}, {"SHELL="}, {}, "/bin/sh"), 0) << m_err.toStdString();
    QStringList pages;
    for (QDirIterator it(path("out"), {"*-*.*"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        pages << it.next().section('/', -1);
    pages.sort();
    EXPECT_EQ(pages, expected);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3); // a folder a shard
}

} // namespace
