// The conversion options: browse buttons, the log check box, the page range and its key filter.

#include "MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QRadioButton>
#include <QTest>

namespace quillet::testing {
namespace {

TEST_F(MainWindowTest, OutputFolderBrowserFillsOrEmptiesTheBox)
{
    startWindow();
    dialogs.folderAnswers << "/data/pictures";
    window->Command2->click();
    EXPECT_EQ(window->txtOutDir->text(), "/data/pictures");
    EXPECT_EQ(dialogs.folderRequests, QStringList{QStringLiteral("请选择一个文件夹")});

    dialogs.folderAnswers << "/";
    window->Command2->click();
    EXPECT_EQ(window->txtOutDir->text(), "/");

    // Cancelled: the box is emptied even though it held a folder.
    window->Command2_Click();
    EXPECT_EQ(window->txtOutDir->text(), "");
    EXPECT_EQ(dialogs.folderRequests.size(), 3);
}

TEST_F(MainWindowTest, LogFileDialogIsSetUpAndCancelKeepsTheBox)
{
    startWindow();
    const QString before = window->txtLog->text();
    window->Command1->click();
    ASSERT_EQ(dialogs.saveFileRequests.size(), 1);
    EXPECT_EQ(dialogs.saveFileRequests[0], QStringLiteral("处理日志|Slatern.log|处理日志(*.log)|") +
                                               QCoreApplication::applicationDirPath() + "|1");
    EXPECT_EQ(window->txtLog->text(), before);

    dialogs.saveFileAnswers << "   ";
    window->Command1_Click();
    EXPECT_EQ(window->txtLog->text(), before);

    dialogs.saveFileAnswers << "/var/log/quillet/errors.log ";
    window->Command1_Click();
    EXPECT_EQ(window->txtLog->text(), "/var/log/quillet/errors.log ");
    EXPECT_EQ(window->options().logPath, "/var/log/quillet/errors.log ");
}

TEST_F(MainWindowTest, LogCheckBoxStaysChecked)
{
    startWindow();
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(window->Check1, Qt::LeftButton);
        EXPECT_TRUE(window->Check1->isChecked()) << i;
        window->Check1->click();
        EXPECT_TRUE(window->Check1->isChecked()) << i;
    }
}

TEST_F(MainWindowTest, PageRangeOptionsEnableTheBoxesAndMoveTheFocus)
{
    startWindow();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->CmdDo->setFocus();

    window->OptSlides2->click();
    EXPECT_TRUE(window->OptSlides2->isChecked());
    EXPECT_FALSE(window->OptSlidesAll->isChecked());
    EXPECT_TRUE(window->txtFrom->isEnabled());
    EXPECT_TRUE(window->txt2->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), window->txtFrom);
    EXPECT_TRUE(window->options().pageRange);

    window->OptSlidesAll->click();
    EXPECT_FALSE(window->txtFrom->isEnabled());
    EXPECT_FALSE(window->txt2->isEnabled());
    EXPECT_TRUE(window->options().allPages);

    // Selected from code (as the extraction job does): the same handler runs.
    window->OptSlides2->setChecked(true);
    EXPECT_TRUE(window->txtFrom->isEnabled());
    window->OptSlidesAll->setChecked(true);
    EXPECT_FALSE(window->txt2->isEnabled());
}

TEST_F(MainWindowTest, PageBoxesTakeOnlyDigitsAndBackspaceFromTheKeyboard)
{
    startWindow();
    for (QLineEdit* box : {window->txtFrom, window->txt2}) {
        box->setFocus();
        box->end(false);
        QTest::keyClicks(box, "2a- 3.x+");
        EXPECT_EQ(box->text(), "123") << box->objectName().toStdString();
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "12");
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Delete);
        EXPECT_EQ(box->text(), "2");
        QTest::keyClicks(box, "9");
        EXPECT_EQ(box->text(), "92");
        // Pasting is not filtered.
        QGuiApplication::clipboard()->setText("ab");
        box->end(false);
        box->paste();
        EXPECT_EQ(box->text(), "92ab");
    }
    EXPECT_EQ(window->options().firstPage, "92ab");
    EXPECT_EQ(MainWindow::txtFrom_KeyPress(8), 8);
    EXPECT_EQ(MainWindow::txtFrom_KeyPress('0'), '0');
    EXPECT_EQ(MainWindow::txt2_KeyPress('9'), '9');
    EXPECT_EQ(MainWindow::txt2_KeyPress('/'), 0);
    EXPECT_EQ(MainWindow::txt2_KeyPress(':'), 0);
    EXPECT_EQ(MainWindow::txtFrom_KeyPress(13), 0);
}

} // namespace
} // namespace quillet::testing
