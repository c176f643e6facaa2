#include "jobs/BatchJob.h"

#include "convert/ConversionJob.h"
#include "engine/EngineError.h"
#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"
#include "support/ScriptedJobWindow.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace quillet;
using namespace quillet::testing;

namespace {

class ConversionJob : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        window.current.outputFolder = m_dir.filePath("out");
        window.current.logPath = m_dir.filePath("Quillet.log");
    }

    QString addDocument(const QString& name, int pages)
    {
        const QString path = m_dir.filePath(name);
        FakeDocumentScript script;
        script.pageLengths.assign(pages, 5);
        office.addDocument(path, script);
        window.documents << path;
        return path;
    }
    QString addMissingDocument(const QString& name)
    {
        window.documents << m_dir.filePath(name);
        return window.documents.last();
    }

    void run() { RunConversionJob(window, office, viewer); }
    QStringList messages() const { return window.scriptedDialogs.messageTexts(); }
    QStringList outFiles() const { return FilesIn(m_dir.filePath("out")); }
    bool jobStarted() const
    {
        return office.count("CreateApplication") > 0 || !window.eventsStartingWith("disable").isEmpty();
    }

    QTemporaryDir m_dir;
    FakeOffice office;
    ScriptedJobWindow window;
    RecordingTextViewer viewer;
};

} // namespace

TEST_F(ConversionJob, EmptyListGivesOneMessageAndNothingElse)
{
    run();
    EXPECT_EQ(messages(), QStringList{"没有需要处理的文档！"});
    EXPECT_EQ(window.scriptedDialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(window.scriptedDialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(QDir(m_dir.filePath("out")).exists());
    EXPECT_EQ(window.current.outputFolder, m_dir.filePath("out")); // not completed either
    EXPECT_FALSE(jobStarted());
}

TEST_F(ConversionJob, BlankOutputFolderAsksAndOpensTheFolderBrowser)
{
    addDocument("a.doc", 1);
    window.current.outputFolder = "   ";
    run();
    EXPECT_EQ(window.events, (QStringList{"message 请输入图片保存目录！", "chooseOutputFolder"}));
    EXPECT_FALSE(jobStarted());
}

TEST_F(ConversionJob, OutputFolderGetsOneSeparatorAndIsCreatedBeforeTheLogTest)
{
    addDocument("a.doc", 1);
    window.current.logPath = " ";
    run();
    EXPECT_EQ(window.current.outputFolder, m_dir.filePath("out") + '/');
    EXPECT_TRUE(QDir(m_dir.filePath("out")).exists());
    EXPECT_EQ(window.events, (QStringList{"outDir " + m_dir.filePath("out") + '/',
                                          "message 请输入日志文件名！", "chooseLogFile"}));
    EXPECT_FALSE(jobStarted());

    window.events.clear();
    run();
    EXPECT_TRUE(window.eventsStartingWith("outDir").isEmpty()); // already ends with the separator
}

TEST_F(ConversionJob, FolderThatCannotBeCreatedEndsWithAMessageNamingIt)
{
    addDocument("a.doc", 1);
    window.current.outputFolder = m_dir.filePath("no/such/folder");
    run();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(m_dir.filePath("no/such/folder/"))) << messages()[0].toStdString();
    EXPECT_FALSE(jobStarted());
    EXPECT_FALSE(window.anyControlLocked());
}

TEST_F(ConversionJob, PageRangeIsValidatedOnlyWhenARangeIsChosen)
{
    addDocument("a.doc", 1);
    window.current.allPages = false;
    window.current.pageRange = true;
    const QList<QPair<QString, QString>> refused = {
        {"5", "3"}, {"", "3"}, {"1", ""}, {"x", "3"}, {"1", "40000"}};
    for (const auto& [first, last] : refused) {
        window.scriptedDialogs.messages.clear();
        window.current.firstPage = first;
        window.current.lastPage = last;
        run();
        EXPECT_EQ(messages(), QStringList{"请输入正确的页码范围（数字）！"})
            << first.toStdString() << "-" << last.toStdString();
        EXPECT_FALSE(jobStarted());
    }
    window.current.firstPage = "3";
    window.current.lastPage = "3";
    run();
    EXPECT_EQ(office.count("CreateApplication"), 1);

    window.current.allPages = true;
    window.current.pageRange = false;
    window.current.firstPage = "9";
    window.current.lastPage = "";
    run();
    EXPECT_EQ(office.count("CreateApplication"), 2);
}

TEST_F(ConversionJob, RunsTheFrameInItsOrder)
{
    const QString a = addDocument("a.doc", 2);
    const QString b = addDocument("b.docx", 3);
    ShownMessage completion;
    QMap<JobControl, bool> duringCompletion;
    QString progressDuringCompletion;
    window.scriptedDialogs.onMessage = [&](const ShownMessage& shown) {
        window.events << "message " + shown.text;
        completion = shown;
        duringCompletion = window.enabled;
        progressDuringCompletion = window.progressText;
    };
    run();
    const QString out = m_dir.filePath("out") + '/';
    EXPECT_EQ(window.events,
              (QStringList{"outDir " + out, "disable CmdDo", "disable CmdPicExtract", "disable txtOutDir",
                           "disable txtLog", "busy on", "progress 正在处理第1个文件",
                           "progress 正在处理第2个文件", "busy off", "message 转换完毕！", "enable txtOutDir",
                           "enable CmdDo", "enable CmdPicExtract", "progress 处理完毕！", "enable txtLog"}));
    EXPECT_EQ(completion.icon, MessageIcon::Information);
    EXPECT_EQ(progressDuringCompletion, "正在处理第2个文件");
    for (bool on : duringCompletion)
        EXPECT_FALSE(on);
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf", "b-1.emf", "b-2.emf", "b-3.emf"}));
    EXPECT_EQ(office.count("CreateApplication"), 1);
    EXPECT_EQ(office.count("Options.CheckGrammarAsYouType"), 1);
    EXPECT_EQ(office.count("Options.CheckGrammarWithSpelling"), 1);
    EXPECT_EQ(office.count("Quit"), 1);
    EXPECT_EQ(office.calls().last(), "Quit");
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(window.keepAliveCalls, 5);
    EXPECT_EQ(window.documents, (QStringList{a, b}));
    EXPECT_FALSE(QFile::exists(window.current.logPath));
}

TEST_F(ConversionJob, CorruptDocumentBetweenTwoGivesOneLineAndOneQuestion)
{
    addDocument("a.doc", 2);
    const QString corrupt = addMissingDocument("corrupt.doc");
    addDocument("c.rtf", 1);
    window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    run();
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf", "c-1.emf"}));
    const QStringList lines = LogLines(window.current.logPath);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("\t处理" + corrupt + "处错："));
    ASSERT_EQ(messages().size(), 2);
    EXPECT_EQ(messages()[1], "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？");
    EXPECT_EQ(window.scriptedDialogs.messages[1].icon, MessageIcon::Question);
    EXPECT_EQ(window.scriptedDialogs.messages[1].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(viewer.opened, QStringList{window.current.logPath});
    EXPECT_EQ(window.events.mid(window.events.size() - 3),
              (QStringList{"progress 处理完毕！", "message " + messages()[1], "enable txtLog"}));
}

TEST_F(ConversionJob, CancelOpensNothingAndTheNextCleanJobDoesNotAsk)
{
    addMissingDocument("gone.doc");
    run();
    EXPECT_EQ(messages().size(), 2);
    EXPECT_TRUE(viewer.opened.isEmpty());

    window.documents = QStringList();
    addDocument("fine.doc", 1);
    window.scriptedDialogs.messages.clear();
    run();
    EXPECT_EQ(messages(), QStringList{"转换完毕！"});
}

TEST_F(ConversionJob, ThreeFailuresGiveThreeLinesInOrderAndOneQuestion)
{
    const QString x = addMissingDocument("x.doc");
    addDocument("ok.doc", 1);
    const QString y = addMissingDocument("y.doc");
    const QString z = addMissingDocument("z.doc");
    run();
    const QStringList lines = LogLines(window.current.logPath);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains("处理" + x + "处错："));
    EXPECT_TRUE(lines[1].contains("处理" + y + "处错："));
    EXPECT_TRUE(lines[2].contains("处理" + z + "处错："));
    EXPECT_EQ(messages().count("日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"), 1);
}

TEST_F(ConversionJob, LogFolderMissingWritesNoLineButStillAsks)
{
    addMissingDocument("x.doc");
    window.current.logPath = m_dir.filePath("nowhere/Quillet.log");
    run();
    EXPECT_FALSE(QFile::exists(window.current.logPath));
    EXPECT_EQ(messages().last(), "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？");
}

TEST_F(ConversionJob, ViewerThatCannotStartIsReported)
{
    addMissingDocument("x.doc");
    viewer.failure = "没有能打开文本文件的程序。";
    window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    run();
    ASSERT_EQ(messages().size(), 3);
    EXPECT_TRUE(messages()[2].contains(window.current.logPath));
    EXPECT_TRUE(messages()[2].contains("没有能打开文本文件的程序。"));
    EXPECT_FALSE(window.anyControlLocked());
}

// An office that cannot start, whether at the job's start or when a document needs a fresh one,
// ends the job once: no line per document, no office left, the failures so far still offered.
TEST_F(ConversionJob, EngineThatCannotStartEndsTheJobOnce)
{
    const QString gone = m_dir.filePath("gone.doc");
    const QString a = m_dir.filePath("a.doc");
    for (const QString operation : {"CreateApplication", "Documents.Open"}) {
        SCOPED_TRACE(operation.toStdString());
        const bool atStart = operation == "CreateApplication";
        FakeOffice office;
        office.addDocument(a, {});
        ScriptedJobWindow window;
        window.current = this->window.current;
        window.documents << gone << a << a;
        // At the job's start, or at the second document's open (the first one is missing).
        office.failOn(operation, ErrorNumber::EngineUnavailable, "找不到 soffice", atStart ? 0 : 2);
        RunConversionJob(window, office, viewer);

        const QStringList messages = window.scriptedDialogs.messageTexts();
        ASSERT_EQ(messages.size(), atStart ? 1 : 2); // then the offer of the one line logged
        EXPECT_TRUE(messages[0].contains("找不到 soffice"));
        EXPECT_EQ(LogLines(window.current.logPath).size(), atStart ? 0 : 1);
        EXPECT_EQ(office.count("Documents.Open"), atStart ? 0 : 2);
        EXPECT_FALSE(window.anyControlLocked());
        EXPECT_EQ(office.liveApplications(), 0);
        EXPECT_TRUE(outFiles().isEmpty());
        EXPECT_TRUE(window.progressText.isEmpty());
        QFile::remove(window.current.logPath);
    }
}

// Whatever a document's work throws, of any type, ends as that document's one line.
TEST_F(ConversionJob, ExceptionsOfAnyTypeBecomeTheDocumentsLine)
{
    const QString a = addDocument("a.doc", 2);
    addDocument("b.doc", 1);
    const QString c = addDocument("c.doc", 1);
    office.failOn("Browser.Next", ForeignFailure, "foreign", 1);
    office.failOn("Documents.Open", ForeignFailure, "foreign", 3);
    window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Cancel;
    run();
    EXPECT_EQ(messages().first(), "转换完毕！");
    const QStringList lines = LogLines(window.current.logPath);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("处理" + a + "处错：") && lines[0].contains("程序内部错误"));
    EXPECT_TRUE(lines[1].contains("处理" + c + "处错："));
    EXPECT_TRUE(outFiles().contains("b-1.emf"));
    EXPECT_EQ(office.liveApplications(), 0);
}

TEST_F(ConversionJob, FailingGrammarOptionsOrQuitDoNotSpoilTheJob)
{
    addDocument("a.doc", 1);
    office.failOn("Options.CheckGrammarAsYouType", 1009, "不支持");
    office.failOn("Quit", 1010, "退出失败");
    run();
    EXPECT_EQ(outFiles(), QStringList{"a-1.emf"});
    EXPECT_EQ(messages(), QStringList{"转换完毕！"});
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_FALSE(window.anyControlLocked());
}

TEST_F(ConversionJob, InterruptedJobQuitsTheEngineUnlocksAndStillOffersTheLog)
{
    addMissingDocument("gone.doc");
    addDocument("b.doc", 1);
    window.onDocumentPath = [](int index) {
        if (index == 1)
            throw std::runtime_error("list gone");
    };
    window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Cancel;
    run();
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_FALSE(window.anyControlLocked());
    EXPECT_TRUE(window.progressText.isEmpty());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains("list gone"));
    EXPECT_EQ(messages()[1], "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？");
}
