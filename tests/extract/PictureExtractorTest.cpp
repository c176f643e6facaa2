#include "extract/PictureExtractor.h"

#include "jobs/JobLog.h"
#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class PictureExtractor : public WorkerTest
{
protected:
    QString addDocument(const QString& name, std::vector<FakeShapeScript> floating,
                        std::vector<FakeShapeScript> inlineShapes)
    {
        const QString path = m_dir.filePath(name);
        FakeDocumentScript script;
        script.floating = std::move(floating);
        script.inlineShapes = std::move(inlineShapes);
        office.addDocument(path, script);
        return path;
    }
    void extract(const QString& path)
    {
        ExtractPictures(*app, path, options, log, [this] { ++m_ticks; });
    }

    int m_ticks = 0;
};

const FakeShapeScript WithPicture{true};
const FakeShapeScript NoPicture{false};

} // namespace

TEST_F(PictureExtractor, FloatingObjectsFirstThenInlineNumberedFromOne)
{
    const QString doc =
        addDocument("mixed.docx", {WithPicture, WithPicture}, {WithPicture, WithPicture, WithPicture});
    extract(doc);
    EXPECT_EQ(outFiles(),
              (QStringList{"mixed-1.bmp", "mixed-2.bmp", "mixed-3.bmp", "mixed-4.bmp", "mixed-5.bmp"}));
    // The fake numbers its floating objects 1 and 2 and its in-line objects 3 to 5.
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(FileBytes(outFile(QString("mixed-%1.bmp").arg(n))), fakeShapePicture(doc, n));
    EXPECT_LT(office.calls().indexOf("Shapes"), office.calls().indexOf("InlineShapes"));
    EXPECT_EQ(office.count("Shape.Select"), 5);
    EXPECT_EQ(office.count("Selection.Copy"), 5);
    EXPECT_EQ(m_ticks, 5);
    EXPECT_FALSE(log.errorLogged());
    EXPECT_EQ(office.openDocuments(), 0);
}

TEST_F(PictureExtractor, ObjectWithoutPictureLeavesAGapAndNoLine)
{
    const QString doc = addDocument("gap.doc", {WithPicture, NoPicture}, {WithPicture});
    extract(doc);
    EXPECT_EQ(outFiles(), (QStringList{"gap-1.bmp", "gap-3.bmp"}));
    EXPECT_EQ(FileBytes(outFile("gap-3.bmp")), fakeShapePicture(doc, 3));
    EXPECT_FALSE(log.errorLogged());
}

TEST_F(PictureExtractor, NoShapesGivesNoFileAndNoLine)
{
    const QString doc = addDocument("plain.rtf", {}, {});
    extract(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    EXPECT_FALSE(log.errorLogged());
    EXPECT_EQ(office.count("Document.Close"), 1);
}

TEST_F(PictureExtractor, OpenFailureGivesOneLine)
{
    const QString doc = m_dir.filePath("missing.doc");
    extract(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains("\t处理" + doc + "处错：找不到文件"));
    EXPECT_TRUE(log.errorLogged());
    EXPECT_EQ(office.count("Shapes"), 0);
}

TEST_F(PictureExtractor, FailedSelectionNeverSavesThePreviousPicture)
{
    const QString doc = addDocument("sel.doc", {WithPicture, WithPicture, WithPicture}, {});
    office.failOn("Shape.Select", 1011, "无法选中对象", 2);
    extract(doc);
    EXPECT_EQ(outFiles(), (QStringList{"sel-1.bmp", "sel-3.bmp"}));
    EXPECT_EQ(office.count("Selection.Copy"), 2);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].endsWith("处错：无法选中对象"));
}

TEST_F(PictureExtractor, FailedCopyLeavesAGapAndTheWalkGoesOn)
{
    const QString doc = addDocument("copy.doc", {WithPicture}, {WithPicture, WithPicture});
    office.failOn("Selection.Copy", 1012, "复制失败", 1);
    office.failOn("InlineShapes", 1013, "无法列出嵌入对象");
    extract(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].endsWith("处错：无法列出嵌入对象"));
    EXPECT_EQ(office.count("Document.Close"), 1);
}

TEST_F(PictureExtractor, PathWithoutExtensionGivesNoFileAndOneLine)
{
    const QString doc = addDocument("noext", {WithPicture, WithPicture}, {});
    extract(doc);
    EXPECT_TRUE(outFiles().isEmpty());
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].contains("无效的过程调用或参数"));
}

TEST_F(PictureExtractor, IgnoresThePageRange)
{
    const QString doc = addDocument("r.doc", {WithPicture}, {WithPicture});
    options.current.allPages = false;
    options.current.pageRange = true;
    options.current.firstPage = "5";
    options.current.lastPage = "";
    extract(doc);
    EXPECT_EQ(outFiles().size(), 2);
    EXPECT_FALSE(log.errorLogged());
}
