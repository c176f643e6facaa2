// The Qt dialog layer and both programs' Qt set-up: the boxes' buttons in Chinese even without Qt's
// translations and the answers they give, the file choosers, Qt's settings ending with the run.
// Each dialog is answered from a timer while it runs.
#include "dialogs/QtDialogs.h"

#include "dialogs/QtProgramSetup.h"
#include "support/QtPrinting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

namespace quillet {
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

// Shows a box through the dialog layer and presses `press`: "title|text|buttons" and the answer.
std::pair<QString, MessageAnswer> showBox(MessageButtons buttons, QMessageBox::StandardButton press)
{
    QString seen;
    whenModalShows([&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QStringList texts;
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        texts.sort();
        seen = box->windowTitle() + "|" + box->text() + "|" + texts.join('/');
        box->button(press)->click();
    });
    const MessageAnswer answer =
        QtDialogs().message(QStringLiteral("转换完毕！"), MessageIcon::Question, buttons);
    return {seen, answer};
}

TEST(QtDialogs, BoxesShowChineseButtonsWithOrWithoutQtsTranslationsAndAnswerThePressedOne)
{
    using B = QMessageBox;
    const std::tuple<MessageButtons, const char*, B::StandardButton, MessageAnswer> cases[] = {
        {MessageButtons::Ok, "确定", B::Ok, MessageAnswer::Ok},
        {MessageButtons::YesNo, "否/是", B::Yes, MessageAnswer::Yes},
        {MessageButtons::YesNo, "否/是", B::No, MessageAnswer::No},
        {MessageButtons::OkCancel, "取消/确定", B::Cancel, MessageAnswer::Cancel}};
    QTemporaryDir none;
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath), none.path()}) {
        SCOPED_TRACE(folder.toStdString());
        const QtProgramSetup setup(folder);
        EXPECT_EQ(setup.qtTranslationLoaded(), folder != none.path());
        QLineEdit box; // the rest of Qt's texts come only with its translations
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        EXPECT_EQ(menu->actions()[0]->text().startsWith(QStringLiteral("撤消")), setup.qtTranslationLoaded());
        for (const auto& [buttons, shown, press, answer] : cases)
            EXPECT_EQ(showBox(buttons, press),
                      std::pair(QStringLiteral("Quillet|转换完毕！|") + shown, answer));
    }
}

// The log chooser starts where asked and refuses a file that does not exist; the folder chooser
// starts at home every time. Qt's settings end with the run.
TEST(QtDialogs, ChoosersStartWhereTheyShouldAndQtsSettingsEndWithTheRun)
{
    QFile user(QSettings(QSettings::UserScope, "QtProject").fileName());
    const QByteArray before = user.open(QIODevice::ReadOnly) ? user.readAll() : QByteArray();
    user.close();
    QTemporaryDir folder;
    ASSERT_TRUE(QFile(folder.filePath("errors.log")).open(QIODevice::WriteOnly));
    QStringList seen;
    {
        const QtProgramSetup setup;
        // A name that does not exist is refused with a notice and the dialog comes back.
        whenModalShows([&](QWidget* modal) {
            auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
            seen << name->text() + "|" + qobject_cast<QFileDialog*>(modal)->directory().absolutePath();
            name->setText("missing.log");
            QMetaObject::invokeMethod(modal, "accept");
            whenModalShows([&, name](QWidget* notice) {
                seen << (qobject_cast<QMessageBox*>(notice) ? "refused" : "");
                notice->close();
                whenModalShows([name](QWidget* again) {
                    name->setText("errors.log");
                    QMetaObject::invokeMethod(again, "accept");
                });
            });
        });
        EXPECT_EQ(QtDialogs().saveFileName(QStringLiteral("处理日志"), "Slatern.log",
                                           QStringLiteral("处理日志(*.log)"), folder.path(), true),
                  folder.filePath("errors.log"));
        for (int opening = 0; opening < 2; ++opening) {
            whenModalShows([&](QWidget* modal) {
                auto* dialog = static_cast<QFileDialog*>(modal);
                seen << dialog->directory().absolutePath();
                dialog->setDirectory(folder.path()); // where the user went before cancelling
                dialog->reject();
            });
            QtDialogs().chooseFolder(QStringLiteral("请选择一个文件夹"));
        }
    }
    EXPECT_EQ(seen,
              QStringList({"Slatern.log|" + folder.path(), "refused", QDir::homePath(), QDir::homePath()}));
    EXPECT_EQ(user.open(QIODevice::ReadOnly) ? user.readAll() : QByteArray(), before);
}

} // namespace
} // namespace quillet
