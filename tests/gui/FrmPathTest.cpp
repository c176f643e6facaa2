#include "gui/FrmPath.h"

#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

// Runs action as soon as the next modal dialog's event loop is running.
void whenModalOpens(std::function<void(FrmPath&)> action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<FrmPath*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

TEST(FrmPath, LoadsWithItsCaptionsAndTheSuffixText)
{
    ScriptedDialogs dialogs;
    FrmPath plain(dialogs, false);
    EXPECT_EQ(plain.windowTitle(), QStringLiteral("选择目录："));
    EXPECT_EQ(plain.Combo1->currentText(), "*.doc");
    EXPECT_EQ(plain.txtFolder->text(), "");
    EXPECT_FALSE(plain.ChkSubdir->isChecked());
    EXPECT_EQ(plain.ChkSubdir->text(), QStringLiteral("包括该目录子目录中的文档"));
    EXPECT_EQ(plain.CmdOK->text(), QStringLiteral("确定"));
    EXPECT_EQ(plain.CmdCancel->text(), QStringLiteral("取消"));
    EXPECT_FALSE(plain.CmdOK->isDefault() || plain.CmdOK->autoDefault());
    EXPECT_FALSE(plain.CmdCancel->isDefault() || plain.CmdCancel->autoDefault());
    // Design geometry in twips; OK sits right of Cancel, both below the frame.
    EXPECT_GT(plain.CmdOK->x(), plain.CmdCancel->x());
    EXPECT_GE(plain.CmdOK->y(), plain.Frame1->geometry().bottom());
    EXPECT_GT(plain.width(), plain.height());
    EXPECT_EQ(plain.findChild<QLineEdit*>("txtFolder"), plain.txtFolder);

    FrmPath withDocx(dialogs, true);
    EXPECT_EQ(withDocx.Combo1->currentText(), "*.doc;*.docx");
}

TEST(FrmPath, OkHandsBackTheFolderAsTypedAndTheCheckBox)
{
    ScriptedDialogs dialogs;
    whenModalOpens([](FrmPath& d) {
        EXPECT_EQ(d.focusWidget(), d.CmdOK); // the focus the window takes when it activates
        d.txtFolder->setText(" /data/docs ");
        d.ChkSubdir->setChecked(true);
        d.Combo1->setCurrentText("*.rtf"); // shown only
        d.CmdOK->click();
    });
    const FolderRequest answer = FrmPath::ask(dialogs, false, nullptr);
    EXPECT_EQ(answer.folder, " /data/docs ");
    EXPECT_TRUE(answer.includeSubfolders);
}

TEST(FrmPath, CancelAndTheCloseBoxHandBackNothing)
{
    ScriptedDialogs dialogs;
    whenModalOpens([](FrmPath& d) {
        d.txtFolder->setText("/data/docs");
        d.ChkSubdir->setChecked(true);
        d.CmdCancel->click();
    });
    FolderRequest answer = FrmPath::ask(dialogs, false, nullptr);
    EXPECT_EQ(answer.folder, "");
    EXPECT_FALSE(answer.includeSubfolders);

    whenModalOpens([](FrmPath& d) {
        d.txtFolder->setText("/data/docs");
        d.ChkSubdir->setChecked(true);
        d.close();
    });
    answer = FrmPath::ask(dialogs, false, nullptr);
    EXPECT_EQ(answer.folder, "");
    EXPECT_FALSE(answer.includeSubfolders);
}

TEST(FrmPath, EveryOpeningStartsAfresh)
{
    ScriptedDialogs dialogs;
    whenModalOpens([](FrmPath& d) {
        d.txtFolder->setText("/first");
        d.ChkSubdir->setChecked(true);
        d.CmdOK->click();
    });
    EXPECT_EQ(FrmPath::ask(dialogs, false, nullptr).folder, "/first");
    whenModalOpens([](FrmPath& d) {
        EXPECT_EQ(d.txtFolder->text(), "");
        EXPECT_FALSE(d.ChkSubdir->isChecked());
        d.CmdOK->click();
    });
    const FolderRequest second = FrmPath::ask(dialogs, false, nullptr);
    EXPECT_EQ(second.folder, "");
    EXPECT_FALSE(second.includeSubfolders);
}

TEST(FrmPath, BrowseSetsTheFolderBoxEvenToEmpty)
{
    ScriptedDialogs dialogs;
    dialogs.folderAnswers << "/picked";
    FrmPath dialog(dialogs, false);
    dialog.txtFolder->setText("/typed");
    dialog.CmdFolder->click();
    EXPECT_EQ(dialog.txtFolder->text(), "/picked");
    dialog.CmdFolder->click(); // browser cancelled
    EXPECT_EQ(dialog.txtFolder->text(), "");
    EXPECT_EQ(dialogs.folderRequests,
              QStringList({QStringLiteral("请选择一个文件夹"), QStringLiteral("请选择一个文件夹")}));
}

} // namespace
