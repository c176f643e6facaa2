#include "convert/PageRenderer.h"

#include "engine/EngineError.h"
#include "jobs/JobLog.h"
#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class PageRenderer : public WorkerTest
{
protected:
    QString docPath(const QString& name) const { return m_dir.filePath(name); }

    void addPages(const QString& path, int pages)
    {
        FakeDocumentScript script;
        script.pageLengths.assign(pages, 10);
        office.addDocument(path, script);
    }

    void convert(const QString& path, const std::function<void()>& afterEachPage = {})
    {
        ConvertDocument(*app, path, options, log, afterEachPage);
    }

    void selectRange(const QString& first, const QString& last)
    {
        options.current.allPages = false;
        options.current.pageRange = true;
        options.current.firstPage = first;
        options.current.lastPage = last;
    }
};

} // namespace

TEST_F(PageRenderer, OnePageGivesOneFileOfTheWholeText)
{
    const QString doc = docPath("one.doc");
    addPages(doc, 1);
    convert(doc);
    EXPECT_EQ(outFiles(), QStringList{"one-1.emf"});
    EXPECT_EQ(FileBytes(outFile("one-1.emf")), fakePagePicture(doc, 1));
    EXPECT_FALSE(log.errorLogged());
    EXPECT_FALSE(QFile::exists(options.current.logPath));
    EXPECT_EQ(office.openDocuments(), 0);
}

TEST_F(PageRenderer, AllPagesOfFiveGiveFilesOneToFive)
{
    const QString doc = docPath("five.docx");
    FakeDocumentScript script;
    script.pageLengths = {12, 7, 30, 1, 9};
    script.lists = 2;
    office.addDocument(doc, script);
    convert(doc);
    EXPECT_EQ(outFiles(),
              (QStringList{"five-1.emf", "five-2.emf", "five-3.emf", "five-4.emf", "five-5.emf"}));
    for (int page = 1; page <= 5; ++page)
        EXPECT_EQ(FileBytes(outFile(QString("five-%1.emf").arg(page))), fakePagePicture(doc, page));
    EXPECT_EQ(office.count("List.ConvertNumbersToText"), 2);
    EXPECT_EQ(office.count("Document.Close"), 1);
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PageRenderer, RangeTwoToThreeGivesAbsolutePageNumbersAndStopsWalking)
{
    const QString doc = docPath("five.doc");
    addPages(doc, 5);
    selectRange("2", "3");
    convert(doc);
    EXPECT_EQ(outFiles(), (QStringList{"five-2.emf", "five-3.emf"}));
    EXPECT_EQ(FileBytes(outFile("five-2.emf")), fakePagePicture(doc, 2));
    EXPECT_EQ(office.count("Range.Copy"), 2);
    EXPECT_EQ(office.count("Browser.Next"), 3); // pages after the range are not walked
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PageRenderer, RangeBeyondTheEndGivesNothingAndNoLogLine)
{
    const QString doc = docPath("five.doc");
    addPages(doc, 5);
    selectRange("7", "9");
    convert(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    EXPECT_FALSE(log.errorLogged());
    EXPECT_EQ(office.openDocuments(), 0);
}

TEST_F(PageRenderer, LastPageBeyondTheEndStopsAtTheLastPage)
{
    const QString doc = docPath("five.doc");
    addPages(doc, 5);
    selectRange("4", "99");
    convert(doc);
    EXPECT_EQ(outFiles(), (QStringList{"five-4.emf", "five-5.emf"}));
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PageRenderer, AllPagesIgnoresEmptyOrReversedRangeBoxes)
{
    const QString doc = docPath("three.doc");
    addPages(doc, 3);
    options.current.firstPage = "";
    options.current.lastPage = "x";
    convert(doc);
    EXPECT_EQ(outFiles().size(), 3);
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PageRenderer, ReadsTheOptionsAfreshForEveryPage)
{
    const QString doc = docPath("five.doc");
    addPages(doc, 5);
    int pagesWalked = 0;
    convert(doc, [&] {
        if (++pagesWalked == 1) { // the user narrows the range while page 1 is done
            selectRange("1", "2");
            options.current.outputFolder = m_dir.path() + '/';
        }
    });
    EXPECT_EQ(FilesIn(m_dir.filePath("out")), QStringList{"five-1.emf"});
    EXPECT_EQ(FilesIn(m_dir.path()), QStringList{"five-2.emf"});
    EXPECT_EQ(pagesWalked, 2);
}

TEST_F(PageRenderer, FailedCopyLeavesAGapAndOneLineWithTheLastFailure)
{
    const QString doc = docPath("five.doc");
    addPages(doc, 5);
    office.failOn("Range.Copy", 1005, "第二页复制失败", 2);
    office.failOn("Range.Copy", 1006, "第四页复制失败", 4);
    convert(doc);
    EXPECT_EQ(outFiles(), (QStringList{"five-1.emf", "five-3.emf", "five-5.emf"}));
    EXPECT_EQ(FileBytes(outFile("five-3.emf")), fakePagePicture(doc, 3));
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("\t处理" + doc + "处错：第四页复制失败")) << lines[0].toStdString();
    EXPECT_TRUE(log.errorLogged());
    EXPECT_EQ(office.openDocuments(), 0);
}

TEST_F(PageRenderer, FailedRangeWritesNoEarlierPictureUnderItsName)
{
    const QString doc = docPath("three.doc");
    addPages(doc, 3);
    office.failOn("Document.Range", 1007, "范围失败", 2);
    convert(doc);
    EXPECT_EQ(outFiles(), (QStringList{"three-1.emf", "three-3.emf"}));
    EXPECT_EQ(office.count("Range.Copy"), 2);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].endsWith("处错：范围失败"));
}

TEST_F(PageRenderer, OpenFailureGivesNoFileAndOneLine)
{
    const QString doc = docPath("missing.doc");
    convert(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("\t处理" + doc + "处错：找不到文件“" + doc + "”。"));
    EXPECT_TRUE(log.errorLogged());
    EXPECT_EQ(office.count("Lists"), 0);
    EXPECT_EQ(office.count("Document.Close"), 0);
}

TEST_F(PageRenderer, FailingCloseIsLoggedOnce)
{
    const QString doc = docPath("two.doc");
    addPages(doc, 2);
    office.failOn("Document.Close", 1008, "关闭失败");
    convert(doc);
    EXPECT_EQ(outFiles().size(), 2);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].endsWith("处错：关闭失败"));
}

TEST_F(PageRenderer, DottedNameKeepsItsInnerDot)
{
    const QString doc = docPath("a.b.doc");
    addPages(doc, 2);
    convert(doc);
    EXPECT_EQ(outFiles(), (QStringList{"a.b-1.emf", "a.b-2.emf"}));
}

TEST_F(PageRenderer, PathWithoutExtensionGivesNoFileAndOneLine)
{
    QDir(m_dir.path()).mkdir("my.dir");
    const QString doc = docPath("my.dir/noext");
    addPages(doc, 3);
    convert(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("处理" + doc + "处错：无效的过程调用或参数")) << lines[0].toStdString();
    EXPECT_EQ(office.openDocuments(), 0);
}

TEST_F(PageRenderer, SameBaseNameInTwoFoldersReplacesTheFirstPictures)
{
    const QString first = docPath("a/report.doc");
    const QString second = docPath("b/report.doc");
    addPages(first, 3);
    addPages(second, 2);
    convert(first);
    convert(second);
    EXPECT_EQ(outFiles(), (QStringList{"report-1.emf", "report-2.emf", "report-3.emf"}));
    EXPECT_EQ(FileBytes(outFile("report-1.emf")), fakePagePicture(second, 1));
    EXPECT_EQ(FileBytes(outFile("report-2.emf")), fakePagePicture(second, 2));
    EXPECT_EQ(FileBytes(outFile("report-3.emf")), fakePagePicture(first, 3));
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PageRenderer, UnwritableOutputFolderLogsOneLine)
{
    const QString doc = docPath("two.doc");
    addPages(doc, 2);
    options.current.outputFolder = m_dir.filePath("not-there") + '/';
    convert(doc);
    EXPECT_FALSE(QDir(options.current.outputFolder).exists());
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains("无法写入图片文件"));
}

TEST_F(PageRenderer, NothingCarriesOverToTheNextDocument)
{
    const QString bad = docPath("bad.doc");
    const QString good = docPath("good.doc");
    addPages(good, 2);
    convert(bad);
    convert(good);
    EXPECT_EQ(logLines().size(), 1);
    EXPECT_EQ(outFiles().size(), 2);
}

TEST_F(PageRenderer, RunsTheCallbackAfterEveryPage)
{
    const QString doc = docPath("four.doc");
    addPages(doc, 4);
    int calls = 0;
    convert(doc, [&] { ++calls; });
    EXPECT_EQ(calls, 4);
}
