// Default log path, the docx decision and the folder browser, without a window.

#include "gui/StartupDefaults.h"

#include "doclist/FolderBrowser.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

TEST(DefaultLogPath, BesideTheProgramWhenItsFolderIsWritable)
{
    QTemporaryDir program;
    QTemporaryDir data;
    EXPECT_EQ(defaultLogPath(program.path(), data.path()),
              program.path() + QDir::separator() + "Quillet.log");
    // A folder given with its separator (a root folder) is concatenated as it is.
    EXPECT_EQ(defaultLogPath(program.path() + "/", data.path()), program.path() + "//Quillet.log");
    // The write test leaves nothing behind.
    EXPECT_TRUE(
        QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(DefaultLogPath, UserDataFolderWhenTheProgramFolderIsNotWritable)
{
    // No one, root included, can create files in /proc.
    QTemporaryDir data;
    const QString folder = data.path() + "/Quillet";
    EXPECT_EQ(defaultLogPath("/proc", folder), folder + "/Quillet.log");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(canCreateFilesIn("/proc"));
    EXPECT_FALSE(canCreateFilesIn(data.path() + "/missing"));
    EXPECT_TRUE(canCreateFilesIn(data.path()));
}

TEST(DocxSupport, MajorVersionTwelveOrMore)
{
    EXPECT_FALSE(versionSupportsDocx("11.0"));
    EXPECT_FALSE(versionSupportsDocx("11.99"));
    EXPECT_TRUE(versionSupportsDocx("12.0"));
    EXPECT_TRUE(versionSupportsDocx(" 16.0 "));
    EXPECT_FALSE(versionSupportsDocx("sixteen"));
    EXPECT_FALSE(versionSupportsDocx("16.0.1"));
    EXPECT_FALSE(versionSupportsDocx("40000"));
}

TEST(FolderBrowser, AsksWithItsCaptionOrTheDefault)
{
    ScriptedDialogs dialogs;
    dialogs.folderAnswers << "/home/user/docs";
    FolderBrowser named(dialogs);
    named.Caption = "Pick one";
    named.GetFolder();
    EXPECT_EQ(named.Folder, "/home/user/docs");

    FolderBrowser plain(dialogs);
    EXPECT_EQ(plain.Caption, "");
    EXPECT_EQ(plain.Flags, 0);
    EXPECT_EQ(plain.hwnd, 0u);
    plain.Folder = "left over";
    plain.GetFolder();
    EXPECT_EQ(plain.Folder, "");
    EXPECT_EQ(dialogs.folderRequests, (QStringList{"Pick one", "Select a Folder..."}));
}

} // namespace
} // namespace quillet::testing
