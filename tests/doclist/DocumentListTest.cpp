// The document list and the ways of filling it: the list buttons, the folder search and a drop.
#include "doclist/DocumentList.h"

#include "doclist/DocumentListModel.h"
#include "doclist/ListCommands.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;

namespace {

// Makes the files, and their folders, under root; returns their full paths.
QStringList makeFiles(const QString& root, const QStringList& names, bool create = true)
{
    QStringList paths;
    for (const QString& name : names) {
        paths << root + "/" + name;
        QFile file(paths.last());
        if (create && !(QDir(root).mkpath(QFileInfo(name).path()) && file.open(QIODevice::WriteOnly)))
            ADD_FAILURE() << "cannot make " << name.toStdString();
    }
    return paths;
}

// Runs check as the unprivileged user 65534 when we are root (CI is), since permissions do not
// bind root: in a child process that gives up root first.
bool withoutPrivileges(const std::function<bool()>& check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0)
        _exit(setgid(65534) == 0 && setuid(65534) == 0 && check() ? 0 : 1);
    int status = 1;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

const QString kStart = QStringLiteral("待处理文件：0项");
const QString kDone = QStringLiteral("处理完毕！");

const auto pending = [](int n) { return QStringLiteral("待处理文件%1项").arg(n); };

// The commands on a list, with scripted dialogs and two strings standing in for the labels.
struct Commands
{
    DocumentList list;
    quillet::testing::ScriptedDialogs dialogs;
    QStringList labels{kStart, kDone}; // lblInput, lblProcessing
    ListCommands commands{list, dialogs, [this](const QString& in, const QString& pr) { labels = {in, pr}; }};
};

// What the add-folder command puts into an empty list.
QStringList added(const QString& folder, bool subfolders, bool docx)
{
    Commands t;
    t.commands.setDocxSupported(docx);
    t.commands.setFolderRequest([&] { return FolderRequest{folder, subfolders}; });
    t.commands.CmdFileOp_Click(ListCommands::AddFolder);
    return t.list.entries();
}

} // namespace

TEST(DocumentList, RemoveAndClearKeepTheDuplicateTestInStepAndTheModelOutlivesTheList)
{
    auto list = std::make_unique<DocumentList>();
    DocumentListModel model(*list);
    for (const char* path : {"a", "b", "c"})
        list->AddToList(path);
    list->removeAt(0);
    EXPECT_TRUE(list->AddToList("a")); // back, at the end
    EXPECT_EQ(list->entries(), QStringList({"b", "c", "a"}));
    list->clear();
    EXPECT_TRUE(list->AddToList("b"));
    EXPECT_EQ(model.rowCount(), 1);
    list.reset(); // the window may destroy the list before the view lets go of the model
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(AddFolder, TakesTheFolderAloneOrTheTreeDepthFirstWithAnyCaseHiddenOnesAndLinkedFoldersOnce)
{
    QTemporaryDir outside, dir;
    const QString root = dir.path();
    makeFiles(outside.path(), {"e.doc"});
    makeFiles(root, {"b/2.doc", "B2/3.doc", "a/z/1.doc", "a/0.doc", "Z.doc", "m.DOC", ".h.doc", ".h/h.doc",
                     "X.DOCX", "report.doc.bak", "letter.docm", "note.rtf", "doc", "x.doc/inner.doc"});
    ASSERT_TRUE(QFile::link(root, root + "/a/up"));     // a cycle back to the root
    ASSERT_TRUE(QFile::link(root + "/a", root + "/c")); // a second way into a: searched once
    ASSERT_TRUE(QFile::link(outside.path(), root + "/ext")); // leads out of the tree: not followed
    // A folder's documents come before its sub-folders, which follow in name order ignoring case.
    const QStringList tree = makeFiles(root,
                                       {".h.doc", "m.DOC", "Z.doc", ".h/h.doc", "a/0.doc", "a/z/1.doc",
                                        "b/2.doc", "B2/3.doc", "x.doc/inner.doc"},
                                       false);
    EXPECT_EQ(added(root, true, false), tree);
    EXPECT_EQ(added(root + "/", true, false), tree); // the separator is not doubled
    EXPECT_EQ(added(root, false, true), makeFiles(root, {".h.doc", "m.DOC", "X.DOCX", "Z.doc"}, false));
    EXPECT_TRUE(added(root + "/missing", true, true).isEmpty());
}

TEST(ScanFolder, AnUnreadableFolderContributesNothingAndTheScanGoesOn)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"a/locked/x.doc", "a/open.doc", "b/y.doc"});
    const QByteArray locked = QFile::encodeName(dir.path() + "/a/locked");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0); // reachable for the child
    ASSERT_EQ(chmod(locked.constData(), 0), 0);
    EXPECT_TRUE(withoutPrivileges([&] { return added(dir.path(), true, false) == files.mid(1); }));
    chmod(locked.constData(), 0755);
}

TEST(ListCommands, ButtonsChangeTheListAndThePendingCount)
{
    const QString tooMany = QStringLiteral("您选择的文件名数超过了Windows系统的最大限制，请分批次加入文件！");
    const QString clear = QStringLiteral("确定要清空处理列表吗？");
    const QStringList before{"/a.doc", "/b.doc"};
    // clang-format off
    // chosen: the add-files dialog's answer; answer: to the box that comes up; label: lblInput
    // afterwards (lblProcessing is emptied whenever it is set); shown: the box's text.
    struct Case { const char* name; int command; qsizetype selected; std::optional<QStringList> chosen;
                  MessageAnswer answer; QStringList after; QString label; QString shown; };
    const Case cases[] = {
        {"multi-selection in the dialog's order; exact paths only once, nothing normalised", ListCommands::AddFiles,
         -1, QStringList{"/d/c.doc", "/a.doc", "/d//c.doc", "/A.DOC", "/d/c.doc", "/b.doc "}, MessageAnswer::Ok,
         {"/a.doc", "/b.doc", "/d/c.doc", "/d//c.doc", "/A.DOC", "/b.doc "}, pending(6), ""},
        {"cancelled dialog", ListCommands::AddFiles, -1, QStringList{}, MessageAnswer::Ok, before, kStart, ""},
        {"failing dialog", ListCommands::AddFiles, -1, std::nullopt, MessageAnswer::Ok, before, pending(2), tooMany},
        {"remove the selected", ListCommands::Remove, 0, {}, MessageAnswer::Ok, {"/b.doc"}, pending(1), ""},
        {"remove without selection", ListCommands::Remove, -1, {}, MessageAnswer::Ok, before, pending(2), ""},
        {"clear, No", ListCommands::Clear, -1, {}, MessageAnswer::No, before, pending(2), clear},
        {"clear, Yes", ListCommands::Clear, -1, {}, MessageAnswer::Yes, {}, pending(0), clear},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Commands t;
        for (const QString& path : before)
            t.list.AddToList(path);
        t.commands.setSelectedRow([&] { return c.selected; });
        t.dialogs.openFilesAnswers << c.chosen;
        t.dialogs.messageAnswers << c.answer;
        t.commands.CmdFileOp_Click(c.command);
        EXPECT_EQ(t.list.entries(), c.after);
        EXPECT_EQ(t.labels, QStringList({c.label, c.label == kStart ? kDone : QString()}));
        EXPECT_EQ(t.dialogs.messageTexts().join(""), c.shown);
        EXPECT_EQ(t.dialogs.messages.value(0).buttons == MessageButtons::YesNo, c.shown == clear);
        if (c.command == ListCommands::AddFiles)
            EXPECT_EQ(t.dialogs.openFilesRequests, QStringList{QStringLiteral("新增|Word文件 (*.doc)")});
    }
}

// The drop filter: a path is judged by its last four characters alone (.doc or .rtf in any letter
// case), so folders are never searched; the drop's order is kept.
TEST(ListCommands, DropTakesDocAndRtfPathsInDropOrderOnce)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"inner.doc"});
    Commands t;
    t.list.AddToList("/in/b.rtf");
    QList<QUrl> urls;
    for (const QString& path : QStringList{"/in/A.DOC", "/in/b.rtf", "/in/c.docx", "/in/d.txt", "/in/A.DOC",
                                           "/in/e.Rtf", "/in/f.doc.bak", "/in/g.doc/", "/in/doc", dir.path()})
        urls << QUrl::fromLocalFile(path);
    QMimeData drop;
    drop.setUrls(urls);
    t.commands.ListView2_OLEDragDrop(drop);
    EXPECT_EQ(t.list.entries(), QStringList({"/in/b.rtf", "/in/A.DOC", "/in/e.Rtf"}));
    EXPECT_EQ(t.labels, QStringList({pending(3), ""}));
}
