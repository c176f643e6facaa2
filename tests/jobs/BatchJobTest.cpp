// Both batch jobs run whole on the fake engine: the frame they share, how a job ends, and the work
// each does with one document (the page renderer's and the picture extractor's).
#include "convert/ConversionJob.h"
#include "engine/EngineError.h"
#include "extract/ExtractionJob.h"
#include "jobs/JobText.h"
#include "support/JobTestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

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
        // Nothing started when the input is refused, else one office: grammar checking off first, quit last.
        const bool ran = c.events.contains("busy on");
        const QStringList calls = job.office.calls();
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
        {"no office", {{"CreateApplication", Unavailable, 0}}, false, {noOffice}, {}, ""},
        {"no fresh office", {{"Documents.Open", Unavailable, 2}}, false, {noOffice, Question}, {missing}, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        job.documents << job.dir.filePath("x.doc");
        job.add("a.doc");
        job.add("b.doc", {{5, 5}});
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
