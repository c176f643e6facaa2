// The frame both batch jobs share, driven through their entry points on the fake engine.
#include "jobs/BatchJob.h"

#include "convert/ConversionJob.h"
#include "engine/EngineError.h"
#include "extract/ExtractionJob.h"
#include "support/JobTestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace quillet;
using namespace quillet::testing;

const QString Question = "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？";

TEST(BatchJob, InputChecksEndTheJobBeforeAnythingIsLockedOrStarted)
{
    const QString made = "outDir <dir>/out/; "; // completed and made before the log test
    const struct
    {
        const char* name;
        int documents;
        bool extraction;
        ConversionOptions options;
        QString events;
    } cases[] = {
        // clang-format off
        {"empty list", 0, false, {"out", "a.log"}, "message 没有需要处理的文档！"},
        {"blank folder", 1, false, {"  ", "a.log"}, "message 请输入图片保存目录！; chooseOutputFolder"},
        {"missing parent", 1, false, {"no/such", "a.log"},
         "outDir <dir>/no/such/; message " + JobText::FolderNotCreated("<dir>/no/such/")},
        {"blank log", 1, false, {"out", " "}, made + "message 请输入日志文件名！; chooseLogFile"},
        {"blank log, extraction", 1, true, {"out", ""}, made + "message 请输入日志文件名！; chooseLogFile"},
        {"reversed range", 1, false, {"out", "a.log", false, true, "5", "3"},
         made + "message 请输入正确的页码范围（数字）！"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        for (int i = 0; i < c.documents; ++i)
            job.add("a.doc");
        job.run(c.extraction ? RunExtractionJob : RunConversionJob, c.options);
        EXPECT_EQ(job.events.join("; "), QString(c.events).replace("<dir>", job.dir.path()));
        EXPECT_EQ(QDir(job.out()).exists(), c.events.startsWith(made));
        EXPECT_TRUE(job.office.calls().isEmpty());
    }
}

TEST(BatchJob, RunsTheFrameInItsOrderWithOneOfficeForAllDocuments)
{
    for (const bool extraction : {false, true}) {
        SCOPED_TRACE(extraction ? "extraction" : "conversion");
        FakeJob job;
        job.add("a.doc", {{5, 5}});
        job.add("b.docx", {{5}, {}, {true, true}});
        // Page boxes that all pages ignore, and that the extraction resets to all pages.
        job.run(extraction ? RunExtractionJob : RunConversionJob,
                {"out", "Quillet.log", !extraction, extraction, "9", ""});

        EXPECT_EQ(
            job.events.join("; "),
            "outDir " + job.out() + (extraction ? "; selectAllPages" : "") +
                "; disable CmdDo; disable CmdPicExtract; disable txtOutDir; disable txtLog; busy on; "
                "progress 正在处理第1个文件; progress 正在处理第2个文件; busy off; message " +
                (extraction ? "图像提取完毕！" : "转换完毕！") +
                "; enable txtOutDir; enable CmdDo; enable CmdPicExtract; progress 处理完毕！; enable txtLog");
        EXPECT_EQ(FilesIn(job.out()).join(' '), extraction ? "b-1.bmp b-2.bmp" : "a-1.emf a-2.emf b-1.emf");
        // One office, grammar checking off first and quit last.
        const QStringList calls = job.office.calls();
        EXPECT_EQ(calls.mid(0, 3).join(' '),
                  "CreateApplication Options.CheckGrammarAsYouType Options.CheckGrammarWithSpelling");
        EXPECT_EQ(calls.count("CreateApplication"), 1);
        EXPECT_EQ(calls.last(), "Quit");
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
    const QString all = "a-1.emf b-1.emf b-2.emf";
    const long Unavailable = ErrorNumber::EngineUnavailable;
    const struct
    {
        const char* name;
        QList<std::tuple<const char*, long, int>> failures; // call, number, occurrence
        bool show;                                          // the answer to the log question
        QString viewerFailure, log;
        QStringList messages, lines;
        QString files;
    } cases[] = {
        // clang-format off
        {"log shown", {}, true, "", "Quillet.log", {done, Question}, {missing}, all},
        {"viewer fails", {}, true, "无法启动", "Quillet.log",
         {done, Question, JobText::ViewerNotStarted("<dir>/Quillet.log", "无法启动")}, {missing}, all},
        {"log folder missing", {}, false, "", "no/Quillet.log", {done, Question}, {}, all},
        {"foreign failures, options and quit failing",
         {{"Documents.Open", ForeignFailure, 2}, {"Range.Copy", ForeignFailure, 2},
          {"Options.CheckGrammarAsYouType", 1009, 0}, {"Quit", 1010, 0}}, false, "", "Quillet.log",
         {done, Question}, {missing, "处理a.doc" + foreign, "处理b.doc" + foreign}, "b-1.emf"},
        {"no office", {{"CreateApplication", Unavailable, 0}}, false, "", "Quillet.log", {noOffice}, {}, ""},
        {"no fresh office", {{"Documents.Open", Unavailable, 2}}, false, "", "Quillet.log",
         {noOffice, Question}, {missing}, ""},
        {"list gone", {}, false, "", "Quillet.log",
         {JobText::JobAborted("程序内部错误：list gone"), Question}, {missing}, ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeJob job;
        job.addMissing("x.doc");
        job.add("a.doc");
        job.add("b.doc", {{5, 5}});
        for (const auto& [call, number, occurrence] : c.failures)
            job.office.failOn(call, number, "找不到 soffice", occurrence);
        job.onDocumentPath = [&](int index) {
            if (index == 1 && QString(c.name) == "list gone")
                throw std::runtime_error("list gone");
        };
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
        const int question = c.messages.indexOf(Question);
        if (question > 0) {
            EXPECT_EQ(job.scriptedDialogs.messages[question].icon, MessageIcon::Question);
            EXPECT_EQ(job.scriptedDialogs.messages[question].buttons, MessageButtons::OkCancel);
        }
        // After a job that finished, the offer comes once the other controls are back, before the log box.
        if (finished) {
            QStringList ending = {"progress 处理完毕！"};
            for (const QString& message : job.messages().mid(1))
                ending << "message " + message;
            const QStringList& events = job.events;
            EXPECT_EQ(events.mid(events.indexOf(ending[0])), ending << "enable txtLog");
        }

        // The next job asks only about its own failures.
        job.documents = QStringList{dir + "a.doc"};
        job.scriptedDialogs.messages.clear();
        job.run(RunConversionJob);
        EXPECT_FALSE(job.messages().contains(Question));
    }
}
