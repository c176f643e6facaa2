// Both batch jobs run whole on the fake engine: the frame they share, how a job ends, and the work
// each does with one document (the page renderer's and the picture extractor's).
#include "convert/ConversionJob.h"
#include "engine/EngineError.h"
#include "extract/ExtractionJob.h"
#include "jobs/JobObserver.h"
#include "jobs/JobRunner.h"
#include "jobs/JobText.h"
#include "support/JobTestSupport.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <mutex>

using namespace quillet;
using namespace quillet::testing;

const QString Question = "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？";

// The frame both jobs run in, one office for all documents; and the input checks that end a job
// before anything is locked or started.
TEST(BatchJob, RunsTheFrameInItsOrderOnceTheInputIsChecked)
{
    const QString made = "outDir <dir>/out/; "; // completed and made before the log test
    const QString frame =
        "disable CmdDo; disable CmdPicExtract; disable txtOutDir; disable txtLog; busy on; "
        "progress 正在处理第1个文件; progress 正在处理第2个文件; busy off; message %1; "
        "enable txtOutDir; enable CmdDo; enable CmdPicExtract; progress 处理完毕！; enable txtLog";
    const struct
    {
        const char* name;
        bool extraction;
        ConversionOptions options;
        QString events, files;
    } cases[] = {
        // clang-format off
        {"empty list", false, {"out", "a.log"}, "message 没有需要处理的文档！"},
        {"blank folder", false, {"  ", "a.log"}, "message 请输入图片保存目录！; chooseOutputFolder"},
        {"missing parent", false, {"no/such", "a.log"},
         "outDir <dir>/no/such/; message " + JobText::FolderNotCreated("<dir>/no/such/")},
        {"blank log", false, {"out", " "}, made + "message 请输入日志文件名！; chooseLogFile"},
        {"blank log, extraction", true, {"out", ""}, made + "message 请输入日志文件名！; chooseLogFile"},
        {"reversed range", false, {"out", "a.log", false, true, "5", "3"},
         made + "message 请输入正确的页码范围（数字）！"},
        // Page boxes that all pages ignore, and that the extraction resets to all pages.
        {"conversion", false, {"out", "a.log", true, false, "9", ""}, made + frame.arg("转换完毕！"),
         "a-1.emf a-2.emf b-1.emf"},
        {"extraction", true, {"out", "a.log", false, true, "9", ""},
         made + "selectAllPages; " + frame.arg("图像提取完毕！"), "b-1.bmp b-2.bmp"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        job.add("a.doc", {{5, 5}});
        job.add("b.docx", {{5}, {}, {true, true}});
        if (QString(c.name) == "empty list")
            job.documents.clear();
        job.run(c.extraction ? RunExtractionJob : RunConversionJob, c.options);
        EXPECT_EQ(job.events.join("; "), QString(c.events).replace("<dir>", job.dir.path()));
        EXPECT_EQ(QDir(job.out()).exists(), c.events.startsWith(made));
        EXPECT_EQ(FilesIn(job.out()).join(' '), c.files);
        // Nothing started when the input is refused, else one office: grammar checking off first, quit
        // last (the last pages may be written after it).
        const bool ran = c.events.contains("busy on");
        QStringList calls = job.office.calls();
        calls.removeAll("Page.Write");
        EXPECT_EQ(calls.count("CreateApplication"), ran ? 1 : 0);
        EXPECT_EQ(
            calls.mid(0, 3).join(' ') + ' ' + calls.value(calls.size() - 1),
            ran ? "CreateApplication Options.CheckGrammarAsYouType Options.CheckGrammarWithSpelling Quit"
                : " ");
        EXPECT_FALSE(QFile::exists(job.current.logPath));
    }
}

// However a job ends: its messages, one log line per failed document whatever the failure's type,
// the files of what worked, and always the controls back, the progress text cleared unless the job
// finished, and no office left. A job that cannot go on ends at once and still offers the log.
TEST(BatchJob, EndsWithItsMessagesLogLinesAndFilesAndNothingLocked)
{
    const QString missing = "处理x.doc处错：找不到文件“x.doc”。", foreign = "处错：程序内部错误：未知的异常";
    const QString done = "转换完毕！", noOffice = JobText::EngineNotStarted("找不到 soffice");
    const long Unavailable = ErrorNumber::EngineUnavailable;
    const struct
    {
        const char* name;
        QList<std::tuple<const char*, long, int>> failures; // call, number, occurrence
        bool show;                                          // the answer to the log question
        QStringList messages, lines;
        QString files, viewerFailure = "", log = "Quillet.log";
    } cases[] = {
        // clang-format off
        {"log shown", {}, true, {done, Question}, {missing}, "a-1.emf b-1.emf b-2.emf"},
        {"viewer fails", {}, true, {done, Question, JobText::ViewerNotStarted("<dir>/Quillet.log", "无法启动")},
         {missing}, "a-1.emf b-1.emf b-2.emf", "无法启动"},
        {"log folder missing", {}, false, {done, Question}, {}, "a-1.emf b-1.emf b-2.emf", "", "no/Quillet.log"},
        {"foreign failures, options and quit failing",
         {{"Documents.Open", ForeignFailure, 2}, {"Range.Copy", ForeignFailure, 2},
          {"Options.CheckGrammarAsYouType", 1009, 0}, {"Quit", 1010, 0}},
         false, {done, Question}, {missing, "处理a.doc" + foreign, "处理b.doc" + foreign}, "b-1.emf"},
        // Each document on a fresh office. One that does not start is tried once more; the job begins
        // only once one has started, and every document that then has no pictures has its line.
        {"no office", {{"CreateApplication", Unavailable, 0}}, false, {noOffice}, {}, ""},
        {"office never starts", {{"Start", Unavailable, 0}}, false, {noOffice}, {}, ""},
        {"second try starts it", {{"Start", Unavailable, 2}}, false, {done, Question}, {missing}, "a-1.emf b-1.emf b-2.emf"},
        {"no fresh office", {{"Start", Unavailable, 2}, {"Start", Unavailable, 3}}, false,
         {JobText::EngineLost(0, 2, 1, "找不到 soffice"), Question},
         {missing, "处理a.doc处错：找不到 soffice", "处理b.doc处错：" + JobText::NotAttempted("找不到 soffice")}, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        job.documents << job.dir.filePath("x.doc");
        job.add("a.doc");
        job.add("b.doc", {{5, 5}});
        job.office.restartAfter = 1;
        for (const auto& [call, number, occurrence] : c.failures)
            job.office.failOn(call, number, "找不到 soffice", occurrence);
        job.scriptedDialogs.messageAnswers << MessageAnswer::Ok
                                           << (c.show ? MessageAnswer::Ok : MessageAnswer::Cancel);
        job.viewerFailure = c.viewerFailure;
        job.run(RunConversionJob, {"out", c.log});

        const QString dir = job.dir.path() + '/';
        EXPECT_EQ(job.messages(), QStringList(c.messages).replaceInStrings("<dir>/", dir));
        EXPECT_EQ(job.logLines().replaceInStrings(QRegularExpression(".*\t"), "").replaceInStrings(dir, ""),
                  c.lines);
        EXPECT_EQ(FilesIn(job.out()).join(' '), c.files);
        EXPECT_EQ(job.shownFiles.size(), c.show ? 1 : 0);
        EXPECT_FALSE(job.anyControlLocked());
        EXPECT_EQ(job.office.liveApplications(), 0);
        const bool finished = c.messages[0] == done;
        EXPECT_EQ(job.progressText, finished ? "处理完毕！" : "");
        for (const ShownMessage& shown : job.scriptedDialogs.messages) // only the offer asks, OK or Cancel
            EXPECT_EQ(shown.text == Question,
                      shown.icon == MessageIcon::Question && shown.buttons == MessageButtons::OkCancel);
        // After a job that finished, the offer comes once the other controls are back, before the log box.
        if (finished)
            EXPECT_EQ(job.events.mid(job.events.indexOf("progress 处理完毕！")).join("; "),
                      "progress 处理完毕！; message " + job.messages().mid(1).join("; message ") +
                          "; enable txtLog");

        // The next job asks only about its own failures.
        job.documents = QStringList{dir + "a.doc"};
        job.scriptedDialogs.messages.clear();
        job.run(RunConversionJob);
        EXPECT_FALSE(job.messages().contains(Question));
    }
}

// The pages of the range, or every object (floating first, one number each whether or not a picture
// came), under their own numbers; a failure leaves the rest and one log line with the last failure.
TEST(BatchJob, SavesThePagesOfTheRangeOrEveryObjectUnderItsNumberAndLogsTheLastFailure)
{
    const bool T = true, F = false;
    const FakeDocumentScript one{{10}, {}, {}, 2}, five{{12, 7, 30, 1, 9}, {}, {}, 2}; // with two lists
    const struct
    {
        const char* name;
        bool objects; // the extraction, else the conversion
        const char* document;
        FakeDocumentScript script;
        QString range; // "first-last", else all pages whatever the boxes hold
        QList<std::tuple<const char*, int, const char*>> failures;
        QList<int> saved;
        int walked;     // pages or objects
        QString logged; // what the one log line says went wrong, if any
    } cases[] = {
        // clang-format off
        {"one page", F, "a.b.doc", one, "", {}, {1}, 1, ""},
        {"all pages", F, "a.b.doc", five, "", {}, {1, 2, 3, 4, 5}, 5, ""},
        {"range", F, "a.doc", five, "2-3", {}, {2, 3}, 3, ""},
        {"range past end", F, "a.doc", five, "7-9", {}, {}, 5, ""},
        {"range over end", F, "a.doc", five, "4-99", {}, {4, 5}, 5, ""},
        {"failed copies", F, "a.doc", five, "", {{"Range.Copy", 2, "二"}, {"Range.Copy", 4, "四"}},
         {1, 3, 5}, 5, "四"},
        {"failed range", F, "a.doc", five, "", {{"Document.Range", 2, "范"}}, {1, 3, 4, 5}, 5, "范"},
        {"failed close", F, "a.doc", five, "", {{"Document.Close", 1, "关"}}, {1, 2, 3, 4, 5}, 5, "关"},
        {"failed open", F, "a.doc", five, "", {{"Documents.Open", 1, "开"}}, {}, 0, "开"},
        {"no extension", F, "d.d/noext", five, "", {}, {}, 5, "无效"},
        {"no name", F, ".doc", one, "", {}, {1}, 1, ""},
        {"objects", T, "m.docx", {{10}, {T, T}, {T, T, T}}, "", {}, {1, 2, 3, 4, 5}, 5, ""},
        {"no picture", T, "m.doc", {{10}, {T, F}, {T}}, "", {}, {1, 3}, 3, ""},
        {"no objects", T, "m.rtf", {}, "", {}, {}, 0, ""},
        {"failed select", T, "m.doc", {{10}, {T, T, T}}, "", {{"Shape.Select", 2, "选"}}, {1, 3}, 3, "选"},
        {"failed object copy", T, "m.doc", {{10}, {T, T}, {T}}, "",
         {{"Selection.Copy", 1, "复"}, {"InlineShapes", 0, "列"}}, {2}, 2, "列"},
        {"objects, no extension", T, "noext", {{10}, {T, T}}, "", {}, {}, 2, "无效的过程调用"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        const QString doc = job.add(c.document, c.script);
        for (const auto& [call, occurrence, description] : c.failures)
            job.office.failOn(call, 1005, description, occurrence);
        const QString first = c.range.section('-', 0, 0), last = c.range.section('-', 1);
        job.run(c.objects ? RunExtractionJob : RunConversionJob,
                {"out", "Quillet.log", first.isEmpty(), !first.isEmpty(), first, last});
        QStringList files; // exactly those numbers, each with the fake's picture of that page or object
        for (int n : c.saved)
            files << QFileInfo(doc).completeBaseName() + QString("-%1.").arg(n) + (c.objects ? "bmp" : "emf");
        EXPECT_EQ(FilesIn(job.out()), files);
        for (int i = 0; i < files.size(); ++i)
            EXPECT_EQ(FileBytes(job.out() + files[i]), FakePicture(doc, c.saved[i]));
        // One line naming the document, its description starting with the failure given.
        const QString said = c.logged.isEmpty() ? "" : "处理" + doc + "处错：" + c.logged;
        EXPECT_EQ(job.logLines().size(), said.isEmpty() ? 0 : 1);
        EXPECT_EQ(job.logLines().value(0).section('\t', 1).left(said.size()), said);
        EXPECT_EQ(job.keepAliveCalls, c.walked); // after every page or object
        EXPECT_EQ(job.office.calls().count("List.ConvertNumbersToText"), c.objects || !c.walked ? 0 : 2);
    }
}

// The runner on one lane and on two, each document on a fresh office, when offices cannot be started
// again: the start is tried once more; then the document in hand has its line and that lane ends,
// another lane takes the rest, and what no lane is left to take has a line saying so. Every document
// ends once and has its picture or its line, unless no office ever started.
TEST(JobRunner, AnOfficeThatCannotStartAgainEndsItsLaneOnlyAndLeavesNoDocumentUnaccounted)
{
    struct Ended : JobObserver
    {
        void documentEnded(int index, DocumentEnd end) override { ends.insert(index, end); }
        QMultiMap<int, DocumentEnd> ends;
    };
    const auto fail = [] { throw EngineError(ErrorNumber::EngineUnavailable, "起不来"); };
    std::promise<void> laneLost; // the second lane's office refused: the first may start its own
    const std::shared_future<void> secondLost = laneLost.get_future().share();
    std::once_flag once;
    const struct
    {
        const char* name;
        int lanes;
        std::function<void(int, int)> onStart; // application, its start
        int done, failed, notAttempted;
        JobResult::End end;
    } cases[] = {
        // clang-format off
        {"second try", 1, [&](int, int start) { if (start == 3) fail(); }, 6, 0, 0, JobResult::End::Finished},
        {"one lane lost", 1, [&](int, int start) { if (start >= 3) fail(); }, 2, 1, 3, JobResult::End::EngineLost},
        {"both lanes lost", 2, [&](int, int start) { if (start >= 2) fail(); }, 2, 2, 2, JobResult::End::EngineLost},
        {"the other lane goes on", 2, [&](int app, int) {
             if (app == 1)
                 return secondLost.wait();
             std::call_once(once, [&] { laneLost.set_value(); });
             fail();
         }, 5, 1, 0, JobResult::End::EngineLost},
        {"never started", 2, [&](int, int) { fail(); }, 0, 0, 0, JobResult::End::EngineNotStarted},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        QList<JobDocument> documents;
        for (const char* name : {"a.doc", "b.doc", "c.doc", "d.doc", "e.doc", "f.doc"})
            documents.append({job.add(name), ""});
        job.office.restartAfter = 1;
        job.office.onStart = c.onStart;
        ASSERT_TRUE(QDir().mkpath(job.out()));
        Ended observer;
        const JobResult result =
            JobRunner(job.office, FixedOptions({job.out(), job.dir.filePath("Quillet.log")}), observer)
                .run(ConversionJobKind(), documents, c.lanes);
        EXPECT_EQ(result.end, c.end);
        EXPECT_EQ(QList<int>({result.done, result.failed, result.notAttempted}),
                  QList<int>({c.done, c.failed, c.notAttempted}));
        EXPECT_EQ(result.reason, c.end == JobResult::End::Finished ? "" : "起不来");
        EXPECT_EQ(job.office.liveApplications(), 0);
        // One line for each failed or untouched document; the others have their picture.
        const QStringList lines = LogLines(job.dir.filePath("Quillet.log"));
        EXPECT_EQ(lines.size(), c.failed + c.notAttempted);
        EXPECT_EQ(lines.filter(JobText::NotAttempted("起不来")).size(), c.notAttempted);
        const bool begun = c.end != JobResult::End::EngineNotStarted;
        EXPECT_EQ(observer.ends.size(), begun ? documents.size() : 0);
        for (int i = 0; begun && i < documents.size(); ++i) {
            const bool picture =
                QFile::exists(job.out() + QFileInfo(documents[i].path).baseName() + "-1.emf");
            EXPECT_EQ(observer.ends.count(i), 1) << i;
            EXPECT_EQ(observer.ends.value(i) == DocumentEnd::Done, picture) << i;
            EXPECT_EQ(lines.filter("处理" + documents[i].path + "处错：").size(), picture ? 0 : 1) << i;
        }
    }
}

// The office takes up the next document while the pages of the last one are still being written.
// Each document still ends with the failure of its last step, whenever that step's picture is
// written, and the log reads in the order of the list.
TEST(JobRunner, OpensTheNextDocumentWhileThePagesOfTheLastAreWritten)
{
    FakeJob job;
    QList<JobDocument> documents;
    for (const char* name : {"a.doc", "b.doc", "c.doc"})
        documents.append({job.add(name, {{4, 4}}), ""});
    // a's pages are written once b is open; a's first page fails then, after a's close failed.
    std::atomic<bool> late = false;
    job.office.onPageWrite = [&](const QByteArray& picture) {
        QDeadlineTimer deadline(5000);
        while (picture.startsWith(documents[0].path.toUtf8()) &&
               job.office.calls().count("Documents.Open") < 2 && !(late = deadline.hasExpired()))
            QThread::msleep(1);
    };
    job.office.failOn("Page.Write", 1005, "写不了", 1); // a's first page
    job.office.failOn("Document.Close", 1005, "关不了", 1);
    job.office.failOn("Page.Write", 1005, "写不了", 3); // b's first page
    ASSERT_TRUE(QDir().mkpath(job.out()));
    JobObserver observer;
    const JobResult result =
        JobRunner(job.office, FixedOptions({job.out(), job.dir.filePath("Quillet.log")}), observer)
            .run(ConversionJobKind(), documents);
    EXPECT_FALSE(late);
    EXPECT_EQ(QList<int>({result.done, result.failed}), QList<int>({1, 2}));
    const QStringList lines = LogLines(job.dir.filePath("Quillet.log"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("处理" + documents[0].path + "处错：关不了")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains("处理" + documents[1].path + "处错：写不了")) << lines[1].toStdString();
    EXPECT_EQ(FilesIn(job.out()), QStringList({"a-2.emf", "b-2.emf", "c-1.emf", "c-2.emf"}));
    EXPECT_EQ(FileBytes(job.out() + "a-2.emf"), FakePicture(documents[0].path, 2));
}
