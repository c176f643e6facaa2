// The Qt dialog layer: the boxes' buttons and the answers they give, and the log chooser that
// refuses a file that does not exist. Each dialog is answered from a timer while it runs.
#include "dialogs/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quillet;

namespace {

// Runs action on the next modal dialog that comes up.
void whenModalShows(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            action(modal);
        }
    });
    poll->start(10);
}

} // namespace

TEST(QtDialogs, MessageBoxesShowTheirButtonsAndAnswerWithThePressedOne)
{
    using B = QMessageBox;
    const std::tuple<MessageButtons, B::StandardButtons, B::StandardButton, MessageAnswer> cases[] = {
        {MessageButtons::Ok, B::Ok, B::Ok, MessageAnswer::Ok},
        {MessageButtons::YesNo, B::Yes | B::No, B::Yes, MessageAnswer::Yes},
        {MessageButtons::YesNo, B::Yes | B::No, B::No, MessageAnswer::No},
        {MessageButtons::OkCancel, B::Ok | B::Cancel, B::Cancel, MessageAnswer::Cancel}};
    QtDialogs dialogs;
    for (const auto& [buttons, shown, press, answer] : cases) {
        QString seen;
        whenModalShows([&, press = press](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            seen = box->windowTitle() + "|" + box->text() + "|" +
                   QString::number(box->standardButtons().toInt());
            box->button(press)->click();
        });
        EXPECT_EQ(dialogs.message(QStringLiteral("转换完毕！"), MessageIcon::Question, buttons), answer);
        EXPECT_EQ(seen, QStringLiteral("Quillet|转换完毕！|%1").arg(shown.toInt()));
    }
}

TEST(QtDialogs, TheLogChooserStartsWhereAskedAndRefusesAMissingFile)
{
    QTemporaryDir folder;
    QFile existing(folder.filePath("errors.log"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    QString seen;
    bool refused = false;
    // A name that does not exist is refused with a notice and the dialog comes back.
    whenModalShows([&](QWidget* modal) {
        auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
        seen = name->text() + "|" + qobject_cast<QFileDialog*>(modal)->directory().absolutePath();
        name->setText("missing.log");
        QMetaObject::invokeMethod(modal, "accept");
        whenModalShows([&, name](QWidget* notice) {
            refused = qobject_cast<QMessageBox*>(notice) != nullptr;
            notice->close();
            whenModalShows([name](QWidget* again) {
                name->setText("errors.log");
                QMetaObject::invokeMethod(again, "accept");
            });
        });
    });
    QtDialogs dialogs;
    EXPECT_EQ(dialogs.saveFileName(QStringLiteral("处理日志"), "Slatern.log",
                                   QStringLiteral("处理日志(*.log)"), folder.path(), true),
              folder.filePath("errors.log"));
    EXPECT_TRUE(refused);
    EXPECT_EQ(seen, "Slatern.log|" + folder.path());
}
