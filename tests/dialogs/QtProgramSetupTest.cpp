// What both programs set up on Qt: Qt's own texts in Chinese, with the message boxes' buttons in
// Chinese even without Qt's translations; choosers that start where they should every time; and
// Qt's own settings that do not outlive the run.

#include "dialogs/QtProgramSetup.h"

#include "dialogs/QtDialogs.h"
#include "support/QtPrinting.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace quillet {
namespace {

// Runs the action on the next modal dialog, once it is up.
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

QStringList buttonTexts(MessageButtons buttons)
{
    QStringList texts;
    whenModalShows([&texts](QWidget* modal) {
        for (QAbstractButton* button : qobject_cast<QMessageBox*>(modal)->buttons())
            texts << button->text();
        texts.sort();
        qobject_cast<QMessageBox*>(modal)->reject();
    });
    QtDialogs().message(QStringLiteral("确定要清空处理列表吗？"), MessageIcon::Question, buttons);
    return texts;
}

TEST(QtProgramSetup, QtsOwnTextsAreChineseAndTheBoxesButtonsEvenWithoutQtsTranslations)
{
    QTemporaryDir noTranslations;
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath), noTranslations.path()}) {
        const QtProgramSetup setup(folder);
        EXPECT_EQ(setup.qtTranslationLoaded(), folder != noTranslations.path()) << folder.toStdString();
        EXPECT_EQ(buttonTexts(MessageButtons::OkCancel), QStringList({"取消", "确定"}));
        EXPECT_EQ(buttonTexts(MessageButtons::YesNo), QStringList({"否", "是"}));
        if (setup.qtTranslationLoaded()) {
            QLineEdit box(QStringLiteral("1"));
            const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
            EXPECT_EQ(menu->actions().constFirst()->text().section('\t', 0, 0), QStringLiteral("撤消(&U)"));
        }
    }
    EXPECT_EQ(buttonTexts(MessageButtons::Ok), QStringList({"OK"})); // undone with the setup
}

TEST(QtProgramSetup, TheFolderChooserStartsAtHomeEveryTimeAndQtsSettingsEndWithTheRun)
{
    const QString userSettings = QSettings(QSettings::UserScope, "QtProject").fileName();
    QFile before(userSettings);
    const QByteArray userSettingsBefore = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
    QTemporaryDir elsewhere;
    {
        const QtProgramSetup setup;
        QtDialogs dialogs;
        QStringList startedIn;
        for (int opening = 0; opening < 2; ++opening) {
            whenModalShows([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                startedIn << dialog->directory().absolutePath();
                dialog->setDirectory(elsewhere.path()); // where the user went before giving up
                dialog->reject();
            });
            EXPECT_EQ(dialogs.chooseFolder(QStringLiteral("请选择一个文件夹")), "");
        }
        EXPECT_EQ(startedIn, QStringList({QDir::homePath(), QDir::homePath()}));
    }
    QFile after(userSettings);
    EXPECT_EQ(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), userSettingsBefore);
}

} // namespace
} // namespace quillet
