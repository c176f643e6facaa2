#include "extract/ExtractionJob.h"

#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"
#include "support/ScriptedJobWindow.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class ExtractionJob : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        window.current.outputFolder = m_dir.filePath("out");
        window.current.logPath = m_dir.filePath("Quillet.log");
    }
    QString addDocument(const QString& name, int floating, int inlineShapes)
    {
        const QString path = m_dir.filePath(name);
        FakeDocumentScript script;
        script.floating.assign(floating, FakeShapeScript{});
        script.inlineShapes.assign(inlineShapes, FakeShapeScript{});
        office.addDocument(path, script);
        window.documents << path;
        return path;
    }
    void run() { RunExtractionJob(window, office, viewer); }
    QStringList messages() const { return window.scriptedDialogs.messageTexts(); }

    QTemporaryDir m_dir;
    FakeOffice office;
    ScriptedJobWindow window;
    RecordingTextViewer viewer;
};

} // namespace

TEST_F(ExtractionJob, EmptyListGivesOneMessage)
{
    run();
    EXPECT_EQ(messages(), QStringList{"没有需要处理的文档！"});
    EXPECT_EQ(office.count("CreateApplication"), 0);
    EXPECT_TRUE(window.eventsStartingWith("selectAllPages").isEmpty());
}

TEST_F(ExtractionJob, SelectsAllPagesInsteadOfCheckingTheRangeAndRunsTheSameFrame)
{
    addDocument("a.docx", 1, 1);
    addDocument("b.doc", 0, 2);
    window.current.allPages = false;
    window.current.pageRange = true;
    window.current.firstPage = "";
    window.current.lastPage = "x";
    run();
    const QString out = m_dir.filePath("out") + '/';
    EXPECT_EQ(
        window.events,
        (QStringList{"outDir " + out, "selectAllPages", "disable CmdDo", "disable CmdPicExtract",
                     "disable txtOutDir", "disable txtLog", "busy on", "progress 正在处理第1个文件",
                     "progress 正在处理第2个文件", "busy off", "message 图像提取完毕！", "enable txtOutDir",
                     "enable CmdDo", "enable CmdPicExtract", "progress 处理完毕！", "enable txtLog"}));
    EXPECT_TRUE(window.current.allPages);
    EXPECT_FALSE(window.current.pageRange);
    EXPECT_FALSE(window.pageBoxesEnabled);
    EXPECT_EQ(FilesIn(out), (QStringList{"a-1.bmp", "a-2.bmp", "b-1.bmp", "b-2.bmp"}));
    EXPECT_EQ(office.count("CreateApplication"), 1);
    EXPECT_EQ(office.liveApplications(), 0);
}

TEST_F(ExtractionJob, BlankLogPathStopsBeforeSelectingAllPages)
{
    addDocument("a.doc", 1, 0);
    window.current.logPath = "";
    run();
    EXPECT_EQ(messages(), QStringList{"请输入日志文件名！"});
    EXPECT_TRUE(window.eventsStartingWith("selectAllPages").isEmpty());
    EXPECT_TRUE(QDir(m_dir.filePath("out")).exists());
}

TEST_F(ExtractionJob, FailedDocumentIsLoggedAndTheLogOffered)
{
    addDocument("a.doc", 1, 0);
    const QString missing = m_dir.filePath("gone.docx");
    window.documents << missing;
    addDocument("c.doc", 0, 1);
    window.scriptedDialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    run();
    EXPECT_EQ(FilesIn(m_dir.filePath("out")), (QStringList{"a-1.bmp", "c-1.bmp"}));
    const QStringList lines = LogLines(window.current.logPath);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("处理" + missing + "处错："));
    EXPECT_EQ(messages(),
              (QStringList{"图像提取完毕！", "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"}));
    EXPECT_EQ(viewer.opened, QStringList{window.current.logPath});
    EXPECT_FALSE(window.anyControlLocked());
}
