// The Qt dialog layer: caption, icon and buttons of the boxes, the answers they give, and the log
// file chooser that takes only existing files. Each box is answered from a timer while it runs.

#include "dialogs/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Runs the action on the next modal dialog that comes up.
void whenModalShows(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        }
    });
    poll->start(10);
}

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

MessageAnswer answerBox(QtDialogs& dialogs, MessageIcon icon, MessageButtons buttons,
                        QMessageBox::StandardButton press, SeenBox& seen)
{
    whenModalShows([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(press)->click();
    });
    return dialogs.message(QStringLiteral("转换完毕！"), icon, buttons);
}

TEST(QtDialogs, MessageBoxesCarryTheCaptionIconAndButtons)
{
    QtDialogs dialogs;
    SeenBox seen;
    EXPECT_EQ(answerBox(dialogs, MessageIcon::Information, MessageButtons::Ok, QMessageBox::Ok, seen),
              MessageAnswer::Ok);
    EXPECT_EQ(seen.title, "Quillet");
    EXPECT_EQ(seen.text, QStringLiteral("转换完毕！"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    EXPECT_EQ(answerBox(dialogs, MessageIcon::Question, MessageButtons::YesNo, QMessageBox::Yes, seen),
              MessageAnswer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(answerBox(dialogs, MessageIcon::Question, MessageButtons::YesNo, QMessageBox::No, seen),
              MessageAnswer::No);

    EXPECT_EQ(answerBox(dialogs, MessageIcon::Question, MessageButtons::OkCancel, QMessageBox::Cancel, seen),
              MessageAnswer::Cancel);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(answerBox(dialogs, MessageIcon::Question, MessageButtons::OkCancel, QMessageBox::Ok, seen),
              MessageAnswer::Ok);
}

// Types a name into the file dialog and presses its accept button (Save, Open or Choose).
void acceptName(QFileDialog* dialog, const QString& name)
{
    auto* nameBox = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(nameBox, nullptr);
    nameBox->setText(name);
    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>("buttonBox")->buttons()) {
        if (dialog->findChild<QDialogButtonBox*>("buttonBox")->buttonRole(button) ==
            QDialogButtonBox::AcceptRole) {
            button->click();
            return;
        }
    }
    FAIL() << "no accept button";
}

TEST(QtDialogs, LogFileChooserStartsWhereAskedAndTakesOnlyExistingFiles)
{
    QTemporaryDir folder;
    QFile existing(folder.filePath("errors.log"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    QtDialogs dialogs;

    QString title, preset, directory;
    QStringList filters;
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        preset = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        directory = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        acceptName(dialog, "errors.log");
    });
    EXPECT_EQ(dialogs.saveFileName(QStringLiteral("处理日志"), "Slatern.log",
                                   QStringLiteral("处理日志(*.log)"), folder.path(), true),
              folder.filePath("errors.log"));
    EXPECT_EQ(title, QStringLiteral("处理日志"));
    EXPECT_EQ(preset, "Slatern.log");
    EXPECT_EQ(directory, folder.path());
    EXPECT_EQ(filters, QStringList{QStringLiteral("处理日志(*.log)")});

    // A name that does not exist is refused with a notice and the dialog comes back; cancel then.
    bool refused = false;
    whenModalShows([&](QWidget* modal) {
        acceptName(qobject_cast<QFileDialog*>(modal), "missing.log");
        whenModalShows([&](QWidget* notice) {
            refused = qobject_cast<QMessageBox*>(notice) != nullptr;
            notice->close();
            whenModalShows([](QWidget* again) { qobject_cast<QDialog*>(again)->reject(); });
        });
    });
    EXPECT_EQ(dialogs.saveFileName(QStringLiteral("处理日志"), "Slatern.log",
                                   QStringLiteral("处理日志(*.log)"), folder.path(), true),
              "");
    EXPECT_TRUE(refused);
    EXPECT_FALSE(QFile::exists(folder.filePath("missing.log")));
}

TEST(QtDialogs, FolderChooserGivesThePathOrNothing)
{
    QTemporaryDir folder;
    QtDialogs dialogs;
    QString caption;
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        acceptName(dialog, folder.path());
    });
    EXPECT_EQ(dialogs.chooseFolder(QStringLiteral("请选择一个文件夹")), folder.path());
    EXPECT_EQ(caption, QStringLiteral("请选择一个文件夹"));

    whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(dialogs.chooseFolder(QStringLiteral("请选择一个文件夹")), "");
}

} // namespace
} // namespace quillet
