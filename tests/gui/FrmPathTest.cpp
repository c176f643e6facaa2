#include "gui/FrmPath.h"

#include "dialogs/QtDialogs.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
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

TEST(FrmPath, TheSuffixTextFollowsDocxSupport)
{
    ScriptedDialogs dialogs;
    EXPECT_EQ(FrmPath(dialogs, false).Combo1->currentText(), "*.doc");
    EXPECT_EQ(FrmPath(dialogs, true).Combo1->currentText(), "*.doc;*.docx");
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

    // Every opening starts afresh.
    whenModalOpens([](FrmPath& d) {
        EXPECT_EQ(d.txtFolder->text(), "");
        EXPECT_FALSE(d.ChkSubdir->isChecked());
        d.CmdOK->click();
    });
    EXPECT_EQ(FrmPath::ask(dialogs, false, nullptr).folder, "");
}

// Enter presses the focused button; in the folder box it closes nothing.
TEST(FrmPath, EnterPressesTheFocusedButton)
{
    ScriptedDialogs dialogs;
    for (const bool ok : {false, true}) {
        whenModalOpens([ok](FrmPath& d) {
            d.txtFolder->setText("/data/docs");
            QTest::keyClick(d.txtFolder, Qt::Key_Return);
            QTest::keyClick(d.isVisible() && ok ? d.CmdOK : d.CmdCancel, Qt::Key_Enter);
            if (d.isVisible())
                d.reject();
        });
        EXPECT_EQ(FrmPath::ask(dialogs, false, nullptr).folder, ok ? "/data/docs" : "");
    }
}

TEST(FrmPath, TheFolderBrowserBelongsToTheDialog)
{
    QWidget mainWindow;
    QtDialogs dialogs(&mainWindow);
    FrmPath dialog(dialogs, false, &mainWindow);
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
        owner = QApplication::activeModalWidget()->parentWidget();
        static_cast<QDialog*>(QApplication::activeModalWidget())->reject();
    });
    dialog.CmdFolder->click();
    EXPECT_EQ(owner, &dialog);
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
    EXPECT_EQ(dialogs.folderRequests, QStringList({"请选择一个文件夹", "请选择一个文件夹"}));
}

} // namespace
