#include "doclist/ListCommands.h"

#include "doclist/DocumentList.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

const QString kStartLabel = QStringLiteral("待处理文件：0项");
const QString kTooMany = QStringLiteral("您选择的文件名数超过了Windows系统的最大限制，请分批次加入文件！");
const QString kConfirmClear = QStringLiteral("确定要清空处理列表吗？");

// The commands with scripted dialogs and two strings standing in for the labels.
struct Fixture : ::testing::Test
{
    DocumentList list;
    ScriptedDialogs dialogs;
    QString lblInput = kStartLabel;
    QString lblProcessing = QStringLiteral("处理完毕！");
    int refreshes = 0;
    qsizetype selected = -1;
    ListCommands commands{list, dialogs, [this](const QString& input, const QString& processing) {
                              lblInput = input;
                              lblProcessing = processing;
                              ++refreshes;
                          }};

    Fixture()
    {
        commands.setSelectedRow([this] { return selected; });
    }
};

using AddFiles = Fixture;
using RemoveAndClear = Fixture;
using AddFolder = Fixture;
using Drop = Fixture;

TEST_F(AddFiles, AsksWithTitleAndFilterByDocxSupport)
{
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    commands.setDocxSupported(true);
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(dialogs.openFilesRequests, QStringList({QStringLiteral("新增|Word文件 (*.doc)"),
                                                      QStringLiteral("新增|Word文件 (*.doc *.docx)")}));
}

TEST_F(AddFiles, AddsChosenPathsInTheDialogsOrderWithoutDuplicates)
{
    dialogs.openFilesAnswers << QStringList{"/docs/one.doc"};
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(list.entries(), QStringList({"/docs/one.doc"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件1项"));
    EXPECT_EQ(lblProcessing, "");

    dialogs.openFilesAnswers << QStringList{"/d/c.doc", "/d/a.doc", "/d/b.doc"};
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(list.entries(), QStringList({"/docs/one.doc", "/d/c.doc", "/d/a.doc", "/d/b.doc"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件4项"));

    // Already listed: nothing added, but the label is refreshed; other letter case is new.
    lblInput.clear();
    dialogs.openFilesAnswers << QStringList{"/d/a.doc"};
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件4项"));
    dialogs.openFilesAnswers << QStringList{"/D/A.DOC", "/D/A.DOC"};
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(list.entries().last(), "/D/A.DOC");
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件5项"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddFiles, CancelChangesNothingAndLeavesTheLabels)
{
    list.AddToList("/x.doc");
    dialogs.openFilesAnswers << QStringList{};
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    EXPECT_EQ(list.entries(), QStringList({"/x.doc"}));
    EXPECT_EQ(lblInput, kStartLabel);
    EXPECT_EQ(lblProcessing, QStringLiteral("处理完毕！"));
    EXPECT_EQ(refreshes, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(AddFiles, AFailingDialogIsReportedAndRefreshes)
{
    dialogs.openFilesAnswers << std::nullopt;
    commands.CmdFileOp_Click(ListCommands::AddFiles);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, kTooMany);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件0项"));
    EXPECT_EQ(lblProcessing, "");
}

TEST_F(RemoveAndClear, RemoveTakesTheSelectedEntryAndAlwaysRefreshes)
{
    for (const char* p : {"/a.doc", "/b.doc", "/c.doc"})
        list.AddToList(p);
    selected = 1;
    commands.CmdFileOp_Click(ListCommands::Remove);
    EXPECT_EQ(list.entries(), QStringList({"/a.doc", "/c.doc"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件2项"));

    selected = -1;
    lblInput.clear();
    commands.CmdFileOp_Click(ListCommands::Remove);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件2项"));
}

TEST_F(RemoveAndClear, ClearAsksAndObeysTheAnswer)
{
    list.AddToList("/a.doc");
    list.AddToList("/b.doc");
    dialogs.messageAnswers << MessageAnswer::No;
    commands.CmdFileOp_Click(ListCommands::Clear);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, kConfirmClear);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件2项"));

    dialogs.messageAnswers << MessageAnswer::Yes;
    commands.CmdFileOp_Click(ListCommands::Clear);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件0项"));
    EXPECT_EQ(refreshes, 2);

    // Empty list: no question, no refresh.
    lblInput = kStartLabel;
    commands.CmdFileOp_Click(ListCommands::Clear);
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(lblInput, kStartLabel);
    EXPECT_EQ(refreshes, 2);
}

TEST_F(AddFolder, SearchesTheFolderOrTheTreeWithTheWaitPointerAround)
{
    QTemporaryDir dir;
    for (const char* name : {"a.doc", "S/b.doc", "S/T/c.docx"}) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QStringList busy;
    commands.setBusyIndicator([&](bool on) { busy << (on ? "on" : "off") + QString::number(list.count()); });
    FolderRequest answer{dir.path(), false};
    commands.setFolderRequest([&] { return answer; });

    commands.CmdFileOp_Click(ListCommands::AddFolder);
    EXPECT_EQ(list.entries(), QStringList({dir.path() + "/a.doc"}));
    EXPECT_EQ(busy, QStringList({"on0", "off1"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件1项"));

    answer.includeSubfolders = true;
    commands.setDocxSupported(true);
    commands.CmdFileOp_Click(ListCommands::AddFolder);
    EXPECT_EQ(list.entries(),
              QStringList({dir.path() + "/a.doc", dir.path() + "/S/b.doc", dir.path() + "/S/T/c.docx"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件3项"));

    // A missing folder finds nothing but still refreshes.
    answer.folder = dir.path() + "/missing";
    lblInput.clear();
    commands.CmdFileOp_Click(ListCommands::AddFolder);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件3项"));
}

TEST_F(AddFolder, EmptyOrBlankFolderEndsWithoutRefresh)
{
    QStringList busy;
    commands.setBusyIndicator([&](bool on) { busy << (on ? "on" : "off"); });
    for (const QString& folder : {QString(), QStringLiteral("   ")}) {
        commands.setFolderRequest([&] { return FolderRequest{folder, true}; });
        commands.CmdFileOp_Click(ListCommands::AddFolder);
    }
    EXPECT_TRUE(busy.isEmpty());
    EXPECT_EQ(refreshes, 0);
    EXPECT_EQ(lblInput, kStartLabel);
}

QMimeData* fileDrop(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

TEST_F(Drop, TakesDocAndRtfInDropOrderOnce)
{
    list.AddToList("/in/b.rtf");
    std::unique_ptr<QMimeData> data(fileDrop(
        {"/in/A.DOC", "/in/b.rtf", "/in/c.docx", "/in/d.txt", "/in/Reports", "/in/A.DOC", "/in/e.Rtf"}));
    commands.ListView2_OLEDragDrop(*data);
    EXPECT_EQ(list.entries(), QStringList({"/in/b.rtf", "/in/A.DOC", "/in/e.Rtf"}));
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件3项"));
    EXPECT_EQ(lblProcessing, "");
}

TEST_F(Drop, DroppedFoldersAreNotSearched)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Reports");
    QFile inner(dir.filePath("Reports/inner.doc"));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
    std::unique_ptr<QMimeData> data(fileDrop({dir.filePath("Reports")}));
    commands.ListView2_OLEDragDrop(*data);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(lblInput, QStringLiteral("待处理文件0项"));
}

TEST_F(Drop, ADropWithoutFilesChangesNothing)
{
    QMimeData text;
    text.setText("/in/A.DOC");
    commands.ListView2_OLEDragDrop(text);
    QMimeData web;
    web.setUrls({QUrl("https://example.org/x.doc")});
    commands.ListView2_OLEDragDrop(web);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(lblInput, kStartLabel);
}

} // namespace
