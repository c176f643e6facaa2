// The document list and the ways of filling it: the list buttons, the folder search and a drop.
#include "doclist/DocumentList.h"

#include "doclist/DocumentListModel.h"
#include "doclist/ListCommands.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;

namespace {

const QString kStart = QStringLiteral("待处理文件：0项");
const auto pending = [](int n) { return QStringLiteral("待处理文件%1项").arg(n); };

// The commands on a list, with scripted dialogs and two strings standing in for the labels.
struct Commands
{
    DocumentList list;
    quillet::testing::ScriptedDialogs dialogs;
    QStringList labels{kStart, QStringLiteral("处理完毕！")}; // lblInput, lblProcessing
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

} // namespace

TEST(DocumentListModel, OutlivesItsList) // the window may destroy the list before the view lets go
{
    auto list = std::make_unique<DocumentList>();
    DocumentListModel model(*list);
    list->AddToList("a");
    EXPECT_EQ(model.rowCount(), 1);
    list.reset();
    EXPECT_EQ(model.rowCount(), 0);
}

// A folder's documents come before its sub-folders, which follow in name order ignoring case, each
// with its whole tree. Hidden ones are searched, Trash folders are not; a link is followed only into
// the tree (Wine's dosdevices/z: leads to "/") and no folder twice; one that cannot be read gives nothing.
TEST(AddFolder, TakesTheFolderAloneOrItsTreeAndStaysInsideIt)
{
    QTemporaryDir outside, dir;
    const QString root = dir.path();
    const auto at = [&](QStringList p) { return p.replaceInStrings(QRegularExpression("^"), root + '/'); };
    for (const QString& file :
         at({"b/2.doc", "B2/3.doc", "a/z/1.doc", "a/0.doc", "Z.doc", "m.DOC", ".h.doc", ".h/h.doc", "X.DOCX",
             "report.doc.bak", "letter.docm", "note.rtf", "doc", "x.doc/inner.doc", "S/T/4.doc",
             QStringLiteral(".Trash-%1/files/gone.doc").arg(getuid()),
             "home/.local/share/Trash/files/d.doc"}) +
             QStringList{outside.filePath("e.doc")}) {
        QDir().mkpath(QFileInfo(file).path());
        ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly)) << file.toStdString();
    }
    for (const auto& [target, link] : {std::pair{QString("/"), "slash"},
                                       {outside.path(), "ext"},
                                       {root + "/S/T", "inside"},
                                       {root, "a/up"}})
        ASSERT_TRUE(QFile::link(target, root + "/" + link));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (root + "/home/.local/share").toUtf8());
    // "inside" comes before S: S/T's document comes that way, and S/T is not searched again.
    QStringList tree = at({".h.doc", "m.DOC", "Z.doc", ".h/h.doc", "a/0.doc", "a/z/1.doc", "b/2.doc",
                           "B2/3.doc", "inside/4.doc", "x.doc/inner.doc"});
    EXPECT_EQ(added(root, true, false), tree);
    EXPECT_EQ(added(root + "/", true, false), tree); // the separator is not doubled
    EXPECT_EQ(added(root, false, true), at({".h.doc", "m.DOC", "X.DOCX", "Z.doc"}));
    EXPECT_TRUE(added(root + "/missing", true, true).isEmpty());

    const QByteArray locked = QFile::encodeName(root + "/a/z");
    ASSERT_EQ(chmod(QFile::encodeName(root).constData(), 0755), 0); // reachable for the child
    ASSERT_EQ(chmod(locked.constData(), 0), 0);
    tree.removeAll(root + "/a/z/1.doc");
    EXPECT_TRUE(withoutPrivileges([&] { return added(root, true, false) == tree; }));
    chmod(locked.constData(), 0755);
    dataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", dataHome);
}

// The list buttons and a drop. A drop takes a path by its last four characters alone (.doc or .rtf in
// any letter case), so a folder is never searched.
TEST(ListCommands, ButtonsAndADropChangeTheListAndThePendingCount)
{
    const QString tooMany = QStringLiteral("您选择的文件名数超过了Windows系统的最大限制，请分批次加入文件！");
    const QString clear = QStringLiteral("确定要清空处理列表吗？");
    const QStringList before{"/a.doc", "/b.doc"};
    QTemporaryDir folder;
    ASSERT_TRUE(QFile(folder.filePath("inner.doc")).open(QIODevice::WriteOnly));
    const int Drop = -1;
    // clang-format off
    // chosen: the add-files dialog's answer, or what is dropped; answer: to the box that comes up;
    // label: lblInput afterwards (lblProcessing is emptied whenever it is set); shown: the box's text.
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
        {"drop, in its order, once", Drop, -1, QStringList{"/in/A.DOC", "/b.doc", "/in/c.docx", "/in/d.txt", "/in/A.DOC",
         "/in/e.Rtf", "/in/f.doc.bak", "/in/g.doc/", "/in/doc", folder.path()}, MessageAnswer::Ok,
         {"/a.doc", "/b.doc", "/in/A.DOC", "/in/e.Rtf"}, pending(4), ""},
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
        QList<QUrl> urls;
        for (const QString& path : c.command == Drop ? *c.chosen : QStringList())
            urls << QUrl::fromLocalFile(path);
        QMimeData dropped;
        dropped.setUrls(urls);
        c.command == Drop ? t.commands.ListView2_OLEDragDrop(dropped) : t.commands.CmdFileOp_Click(c.command);
        EXPECT_EQ(t.list.entries(), c.after);
        EXPECT_EQ(t.labels,
                  QStringList({c.label, c.label == kStart ? QStringLiteral("处理完毕！") : QString()}));
        EXPECT_EQ(t.dialogs.messageTexts().join(""), c.shown);
        EXPECT_EQ(t.dialogs.messages.value(0).buttons == MessageButtons::YesNo, c.shown == clear);
        for (const QString& path : before) // the duplicate test follows removals and clearing
            EXPECT_EQ(t.list.AddToList(path), !c.after.contains(path)) << path.toStdString();
    }
}
