// The command line's own code on the fake engine, in this process: what it tells on standard output
// and standard error, its exit status and the pictures it writes, for jobs the real office cannot be
// made to act out.

#include "cli/CommandLine.h"
#include "support/JobTestSupport.h"

#include <QDirIterator>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

struct CliRun
{
    int status;
    QString out, err;
};

// `quillet convert OUT ...` (paths relative to `dir`) with standard output and error captured.
CliRun Convert(FakeOffice& office, const QTemporaryDir& dir, QStringList arguments)
{
    QList<QByteArray> bytes{"quillet", "convert", dir.filePath("out").toLocal8Bit()};
    for (const QString& argument : arguments)
        bytes << (argument.startsWith('-') || argument[0].isDigit() ? argument : dir.filePath(argument))
                     .toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = RunCommandLine(int(argv.size()), argv.data(), office);
    const QString out = QString::fromStdString(::testing::internal::GetCapturedStdout());
    return {status, out, QString::fromStdString(::testing::internal::GetCapturedStderr())};
}

} // namespace

// A line per document on standard output (done, failed or not processed), the summary's counts, and
// the pictures: no document's pictures replace another's, in one folder or in a mirrored tree, with
// one office or two; a document left out for its names has a log line naming the one that has them.
TEST(CommandLineOnFakeOffice, SaysWhatBecameOfEveryDocumentAndWritesNoPictureTwice)
{
    const struct
    {
        const char* name;
        QStringList arguments;
        int status;
        QStringList lines;    // <state> <path>, in any order
        QStringList pictures; // <file in out>=<document it shows>
        QString summary;
        QStringList sameAs; // <document left out>=<document with the names>
    } cases[] = {
        // clang-format off
        {"office lost", {"a.doc", "b.doc", "c.doc"}, 1, {"完成 a.doc", "失败 b.doc", "未处理 c.doc"},
         {"a-1.emf=a.doc"}, "3 个文档中 1 个已完成，1 个失败，1 个未处理"},
        {"same names", {"t", "a.doc", "a.docx"}, 1,
         {"失败 a.docx", "失败 t/y/r.doc", "完成 a.doc", "完成 t/x/r.doc"},
         {"a-1.emf=a.doc", "r-1.emf=t/x/r.doc", "r-2.emf=t/x/r.doc"}, "4 个文档中有 2 个处理失败",
         {"t/y/r.doc=t/x/r.doc", "a.docx=a.doc"}},
        {"same names, two offices", {"--jobs", "2", "t", "a.doc", "a.docx"}, 1,
         {"失败 a.docx", "失败 t/y/r.doc", "完成 a.doc", "完成 t/x/r.doc"},
         {"a-1.emf=a.doc", "r-1.emf=t/x/r.doc", "r-2.emf=t/x/r.doc"}, "4 个文档中有 2 个处理失败",
         {"t/y/r.doc=t/x/r.doc", "a.docx=a.doc"}},
        {"tree", {"--tree", "t", "a.doc"}, 0, {"完成 a.doc", "完成 t/x/r.doc", "完成 t/y/r.doc"},
         {"a-1.emf=a.doc", "x/r-1.emf=t/x/r.doc", "x/r-2.emf=t/x/r.doc", "y/r-1.emf=t/y/r.doc"}, "转换完毕！"},
        // A line break or TAB in a name is a blank in its line, as in the log.
        {"names", {"n\nl.doc", "t\tb.doc"}, 0, {"完成 n l.doc", "完成 t b.doc"},
         {"n\nl-1.emf=n\nl.doc", "t\tb-1.emf=t\tb.doc"}, "转换完毕！"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        FakeOffice office;
        for (const QString name :
             {"a.doc", "b.doc", "c.doc", "a.docx", "t/x/r.doc", "t/y/r.doc", "n\nl.doc", "t\tb.doc"}) {
            office.addDocument(dir.filePath(name),
                               {name.startsWith("t/x") ? std::vector{4, 4} : std::vector{4}});
            ASSERT_TRUE(QDir().mkpath(QFileInfo(dir.filePath(name)).path()));
            ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
        }
        office.restartAfter = 1;
        if (QString(c.name) == "office lost") {
            office.failOn("Start", ErrorNumber::EngineUnavailable, "起不来", 2);
            office.failOn("Start", ErrorNumber::EngineUnavailable, "起不来", 3);
        }
        const CliRun run = Convert(office, dir, c.arguments);
        EXPECT_EQ(run.status, c.status);
        QStringList lines = run.out.split('\n', Qt::SkipEmptyParts), expected = c.lines;
        for (QString& line : lines)
            line = line.section('\t', 1, 1) + ' ' + line.section('\t', 2).replace(dir.path() + '/', "");
        lines.sort();
        expected.sort();
        EXPECT_EQ(lines, expected);
        EXPECT_TRUE(run.err.contains(c.summary)) << run.err.toStdString();
        QStringList pictures;
        for (QDirIterator it(dir.filePath("out"), {"*.emf"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next(), shown = QString(FileBytes(file)).section('#', 0, 0);
            pictures << QDir(dir.filePath("out")).relativeFilePath(file) + '=' +
                            QDir(dir.path()).relativeFilePath(shown);
        }
        pictures.sort();
        EXPECT_EQ(pictures, c.pictures);
        const QStringList log = LogLines(dir.filePath("out/Quillet.log"));
        for (const QString& pair : c.sameAs) {
            const QStringList line = log.filter("处理" + dir.filePath(pair.section('=', 0, 0)) + "处错：");
            ASSERT_EQ(line.size(), 1) << pair.toStdString();
            EXPECT_TRUE(line[0].section("处错：", 1).contains(dir.filePath(pair.section('=', 1))))
                << line[0].toStdString();
        }
    }
}
