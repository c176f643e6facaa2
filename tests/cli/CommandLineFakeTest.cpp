// The command line's own code on the fake engine, in this process: what it tells on standard output
// and standard error, and its exit status, for jobs the real office cannot be made to act out.

#include "cli/CommandLine.h"
#include "support/JobTestSupport.h"

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
        bytes << (argument.startsWith('-') ? argument : dir.filePath(argument)).toLocal8Bit();
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

// A line per document on standard output, done, failed or not processed, and the summary's counts.
TEST(CommandLineOnFakeOffice, SaysWhatBecameOfEveryDocumentAndExitsWithItsStatus)
{
    const struct
    {
        const char* name;
        QStringList arguments;
        int status;
        QStringList lines; // <state> <path relative to the folder>
        QString summary;
    } cases[] = {
        // clang-format off
        {"office lost", {"a.doc", "b.doc", "c.doc"}, 1, {"完成 a.doc", "失败 b.doc", "未处理 c.doc"},
         "3 个文档中 1 个已完成，1 个失败，1 个未处理"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        FakeOffice office;
        for (const char* name : {"a.doc", "b.doc", "c.doc"})
            office.addDocument(dir.filePath(name), {});
        office.restartAfter = 1;
        office.failOn("Start", ErrorNumber::EngineUnavailable, "起不来", 2);
        office.failOn("Start", ErrorNumber::EngineUnavailable, "起不来", 3);
        const CliRun run = Convert(office, dir, c.arguments);
        EXPECT_EQ(run.status, c.status);
        QStringList lines;
        for (const QString& line : c.lines)
            lines << QString("%1/%2\t%3\t%4")
                         .arg(lines.size() + 1)
                         .arg(c.lines.size())
                         .arg(line.section(' ', 0, 0), dir.filePath(line.section(' ', 1)));
        EXPECT_EQ(run.out.split('\n', Qt::SkipEmptyParts), lines);
        EXPECT_TRUE(run.err.contains(c.summary)) << run.err.toStdString();
    }
}
