// Both programs' Qt set-up: Qt's own texts in Chinese, the boxes' buttons even without Qt's
// translations; the folder chooser starting at home every time; Qt's settings ending with the run.
#include "dialogs/QtProgramSetup.h"

#include "dialogs/QtDialogs.h"
#include "support/QtPrinting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace quillet {
namespace {

// Runs the action on the modal dialog that the next call opens.
void onModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

// The standard buttons of a message box, as the dialog layer makes them.
QString boxButtons()
{
    QMessageBox box(QMessageBox::Question, "Quillet", "?",
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    QStringList texts;
    for (QAbstractButton* button : box.buttons())
        texts << button->text();
    texts.sort();
    return texts.join('/');
}

TEST(QtProgramSetup, QtsTextsAreChineseAndTheBoxesButtonsEvenWithoutQtsTranslations)
{
    QTemporaryDir none;
    for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath), none.path()}) {
        const QtProgramSetup setup(folder);
        EXPECT_EQ(setup.qtTranslationLoaded(), folder != none.path());
        EXPECT_EQ(boxButtons(), QStringLiteral("取消/否/是/确定"));
        QLineEdit box;
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        EXPECT_EQ(menu->actions()[0]->text().startsWith(QStringLiteral("撤消")), setup.qtTranslationLoaded());
    }
    EXPECT_EQ(boxButtons(), "&No/&Yes/Cancel/OK"); // undone with the set-up
}

TEST(QtProgramSetup, TheFolderChooserStartsAtHomeEveryTimeAndQtsSettingsEndWithTheRun)
{
    QFile user(QSettings(QSettings::UserScope, "QtProject").fileName());
    const QByteArray before = user.open(QIODevice::ReadOnly) ? user.readAll() : QByteArray();
    user.close();
    QTemporaryDir elsewhere;
    QStringList startedIn;
    {
        const QtProgramSetup setup;
        for (int opening = 0; opening < 2; ++opening) {
            onModal([&](QWidget* modal) {
                auto* dialog = static_cast<QFileDialog*>(modal);
                startedIn << dialog->directory().absolutePath();
                dialog->setDirectory(elsewhere.path()); // where the user went before cancelling
                dialog->reject();
            });
            QtDialogs().chooseFolder(QStringLiteral("请选择一个文件夹"));
        }
    }
    EXPECT_EQ(startedIn, QStringList({QDir::homePath(), QDir::homePath()}));
    EXPECT_EQ(user.open(QIODevice::ReadOnly) ? user.readAll() : QByteArray(), before);
}

} // namespace
} // namespace quillet
