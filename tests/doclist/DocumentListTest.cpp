#include "doclist/DocumentList.h"

#include "doclist/DocumentListModel.h"
#include "doclist/DocumentNames.h"
#include "support/QtPrinting.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

using namespace quillet;

namespace {

TEST(DocumentList, AppendsInOrderAndKeepsExactDuplicatesOut)
{
    DocumentList list;
    EXPECT_TRUE(list.AddToList("/d/b.doc"));
    EXPECT_TRUE(list.AddToList("/d/a.doc"));
    EXPECT_FALSE(list.AddToList("/d/b.doc"));
    // Another spelling of the same file is another entry: nothing is normalised.
    EXPECT_TRUE(list.AddToList("/d/B.doc"));
    EXPECT_TRUE(list.AddToList("/d//a.doc"));
    EXPECT_TRUE(list.AddToList("/d/a.doc "));

    EXPECT_EQ(list.entries(), QStringList({"/d/b.doc", "/d/a.doc", "/d/B.doc", "/d//a.doc", "/d/a.doc "}));
    EXPECT_TRUE(list.IsInList("/d/B.doc"));
    EXPECT_FALSE(list.IsInList("/D/b.doc"));
    EXPECT_FALSE(list.IsInList("/d/b.do"));
}

TEST(DocumentList, RemoveAndClearKeepTheDuplicateTestInStep)
{
    DocumentList list;
    for (const char* p : {"a", "b", "c"})
        list.AddToList(p);
    list.removeAt(1);
    list.removeAt(7);  // out of range: ignored
    list.removeAt(-1); // likewise
    EXPECT_EQ(list.entries(), QStringList({"a", "c"}));
    EXPECT_FALSE(list.IsInList("b"));
    EXPECT_TRUE(list.AddToList("b")); // may come back, at the end
    EXPECT_EQ(list.entries(), QStringList({"a", "c", "b"}));

    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(list.IsInList("a"));
    EXPECT_TRUE(list.AddToList("a"));
    EXPECT_EQ(list.count(), 1);
}

TEST(DocumentList, HoldsFarMoreThanSixteenBitsOfEntries)
{
    DocumentList list;
    const int n = 100000;
    for (int i = 0; i < n; ++i)
        list.AddToList(QStringLiteral("/docs/f%1/d%2.doc").arg(i % 97).arg(i));
    for (int i = 0; i < n; i += 997)
        EXPECT_FALSE(list.AddToList(QStringLiteral("/docs/f%1/d%2.doc").arg(i % 97).arg(i)));
    ASSERT_EQ(list.count(), n);
    EXPECT_EQ(list.at(0), "/docs/f0/d0.doc");
    EXPECT_EQ(list.at(40000), QStringLiteral("/docs/f%1/d40000.doc").arg(40000 % 97));
    EXPECT_EQ(list.at(n - 1), QStringLiteral("/docs/f%1/d%2.doc").arg((n - 1) % 97).arg(n - 1));
}

TEST(DocumentListModel, ShowsOneColumnAndFollowsTheList)
{
    DocumentList list;
    DocumentListModel model(list);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件"));
    list.AddToList("/x/1.doc");
    list.AddToList("/x/2.doc");
    list.AddToList("/x/1.doc");
    EXPECT_EQ(inserted.count(), 2);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "/x/2.doc");

    list.removeAt(0);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "/x/2.doc");
    list.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(DocumentListModel, ShowsNothingOnceTheListIsGone)
{
    auto list = std::make_unique<DocumentList>();
    list->AddToList("/x/1.doc");
    DocumentListModel model(*list);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    list.reset();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.data(model.index(0, 0)).isValid());
}

TEST(DocumentNames, FileSuffixIsFromTheLastDot)
{
    EXPECT_EQ(GetFileSuffix("report.final.DOC"), ".DOC");
    EXPECT_EQ(GetFileSuffix("readme"), "readme");
    EXPECT_EQ(GetFileSuffix("a.docx"), ".docx");
    EXPECT_EQ(GetFileSuffix(".hidden"), ".hidden");
    EXPECT_EQ(GetFileSuffix("trailing."), ".");
    EXPECT_EQ(GetFileSuffix(""), "");
}

TEST(DocumentNames, SearchedSuffixesIgnoreCaseAndFollowDocxSupport)
{
    for (const char* name : {"X.DOC", "y.Doc", "a.doc", ".doc"})
        EXPECT_TRUE(isSearchedDocument(name, false)) << name;
    for (const char* name : {"z.rtf", "report.docm", "doc", "report.doc.bak", "letter.docm", "a.docx"})
        EXPECT_FALSE(isSearchedDocument(name, false)) << name;
    EXPECT_TRUE(isSearchedDocument("X.DOCX", true));
    EXPECT_TRUE(isSearchedDocument("x.doc", true));
    EXPECT_FALSE(isSearchedDocument("x.rtf", true));
}

TEST(DocumentNames, DroppedPathsAreJudgedByTheirLastFourCharacters)
{
    for (const char* path : {"/d/A.DOC", "/d/b.rtf", "/d/c.Doc", "/d/reports.doc", ".doc"})
        EXPECT_TRUE(isDroppableDocument(path)) << path;
    for (const char* path : {"/d/c.docx", "/d/d.txt", "/d/Reports", "doc", "/d/x.doc/", ""})
        EXPECT_FALSE(isDroppableDocument(path)) << path;
}

TEST(DocumentNames, PendingCountTextAndFilter)
{
    EXPECT_EQ(pendingCountText(0), QStringLiteral("待处理文件0项"));
    EXPECT_EQ(pendingCountText(3), QStringLiteral("待处理文件3项"));
    EXPECT_EQ(pendingCountText(100000), QStringLiteral("待处理文件100000项"));
    EXPECT_EQ(addFilesFilter(true), QStringLiteral("Word文件 (*.doc *.docx)"));
    EXPECT_EQ(addFilesFilter(false), QStringLiteral("Word文件 (*.doc)"));
}

} // namespace
