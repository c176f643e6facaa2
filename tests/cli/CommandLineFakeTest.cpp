// The command line's own code on the fake engine, in this process: what it tells on standard output
// and standard error, its exit status and the pictures it writes, for jobs the real office cannot be
// made to act out.

#include "cli/CommandLine.h"
#include "pdfpages/PagePictures.h"
#include "support/JobTestSupport.h"

#include <QDirIterator>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

// A line per document on standard output (done, failed or not processed) and the summary's counts;
// the pictures, of which none replaces another document's, in one folder with two offices or in a
// mirrored tree; a document left out for its names has a log line naming the one that has them.
TEST(CommandLineOnFakeOffice, SaysWhatBecameOfEveryDocumentAndWritesNoPictureTwice)
{
    const struct
    {
        const char* name;
        QStringList arguments; // after "convert OUT"; paths relative to the test's folder
        int status;
        QStringList lines;    // <state> <path>, in any order
        QStringList pictures; // <file in OUT>=<the document it shows>
        QString summary;
        QStringList sameAs;        // <document left out>=<the one with the names>
        QString style = "emf 150"; // the page pictures the engine was made for
    } cases[] = {
        // clang-format off
        {"office lost", {"a.doc", "b.doc", "c.doc"}, 1, {"完成 a.doc", "失败 b.doc", "未处理 c.doc"},
         {"a-1.emf=a.doc"}, "3 个文档中 1 个已完成，1 个失败，1 个未处理"},
        {"same names", {"--jobs", "2", "t", "a.doc", "a.docx"}, 1,
         {"失败 a.docx", "失败 t/y/r.doc", "完成 a.doc", "完成 t/x/r.doc"},
         {"a-1.emf=a.doc", "r-1.emf=t/x/r.doc", "r-2.emf=t/x/r.doc"}, "4 个文档中有 2 个处理失败",
         {"t/y/r.doc=t/x/r.doc", "a.docx=a.doc"}},
        {"tree", {"--tree", "t", "a.doc"}, 0, {"完成 a.doc", "完成 t/x/r.doc", "完成 t/y/r.doc"},
         {"a-1.emf=a.doc", "x/r-1.emf=t/x/r.doc", "x/r-2.emf=t/x/r.doc", "y/r-1.emf=t/y/r.doc"}, "转换完毕！"},
        // A line break or TAB in a name is a blank in its line, as in the log.
        {"names", {"n\nl.doc", "t\tb.doc"}, 0, {"完成 n l.doc", "完成 t b.doc"},
         {"n\nl-1.emf=n\nl.doc", "t\tb-1.emf=t\tb.doc"}, "转换完毕！"},
        // Other formats: the engine is made for them, the names take their extension.
        {"format", {"--format", "png", "--dpi", "300", "a.doc"}, 0, {"完成 a.doc"}, {"a-1.png=a.doc"}, "转换完毕！",
         {}, "png 300"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QDir in(dir.path()), out(dir.filePath("out"));
        FakeOffice office;
        for (const QString name :
             {"a.doc", "b.doc", "c.doc", "a.docx", "t/x/r.doc", "t/y/r.doc", "n\nl.doc", "t\tb.doc"}) {
            office.addDocument(in.filePath(name),
                               {name.startsWith("t/x") ? std::vector{4, 4} : std::vector{4}});
            ASSERT_TRUE(in.mkpath(QFileInfo(name).path()) &&
                        QFile(in.filePath(name)).open(QIODevice::WriteOnly));
        }
        office.restartAfter = 1;
        for (int start = 2; c.name == QString("office lost") && start <= 3; ++start)
            office.failOn("Start", ErrorNumber::EngineUnavailable, "起不来", start);
        QList<QByteArray> arguments{"quillet", "convert", out.path().toLocal8Bit()};
        for (const QString& argument : c.arguments)
            arguments << (argument.startsWith('-') || QStringList{"2", "png", "300"}.contains(argument)
                              ? argument
                              : in.filePath(argument))
                             .toLocal8Bit();
        std::vector<char*> argv;
        for (QByteArray& argument : arguments)
            argv.push_back(argument.data());
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        pdfpages::PageStyle asked;
        EXPECT_EQ(RunCommandLine(int(argv.size()), argv.data(),
                                 [&](const pdfpages::PageStyle& pages) -> OfficeEngine& {
                                     asked = pages;
                                     return office;
                                 }),
                  c.status);
        EXPECT_EQ(pdfpages::formatName(asked.format) + ' ' + QString::number(asked.dpi), c.style);
        QStringList lines =
            QString::fromStdString(::testing::internal::GetCapturedStdout()).split('\n', Qt::SkipEmptyParts);
        const QString err = QString::fromStdString(::testing::internal::GetCapturedStderr());
        EXPECT_TRUE(err.contains(c.summary)) << err.toStdString();

        QStringList expected = c.lines, pictures;
        for (QString& line : lines)
            line = line.section('\t', 1, 1) + ' ' + in.relativeFilePath(line.section('\t', 2));
        for (QDirIterator it(out.path(), {"*-*.*"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            pictures << out.relativeFilePath(file) + '=' + in.relativeFilePath(FileBytes(file).split('#')[0]);
        }
        for (QStringList* list : {&lines, &expected, &pictures})
            list->sort();
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(pictures, c.pictures);
        const QStringList log = LogLines(out.filePath("Quillet.log"));
        for (const QString& pair : c.sameAs) {
            const QStringList line = log.filter("处理" + in.filePath(pair.section('=', 0, 0)) + "处错：");
            EXPECT_TRUE(line.size() == 1 &&
                        line[0].section("处错：", 1).contains(in.filePath(pair.section('=', 1))))
                << line.join('\n').toStdString();
        }
    }
}
