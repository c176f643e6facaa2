// The main window: start-up and its engine probe, the controls, the layout rule with the web panel,
// and the conversion options.

#include "MainWindowFixture.h"
#include "engine/EngineError.h"
#include "gui/FrmPath.h"
#include "gui/StartupDefaults.h"
#include "gui/WebPanelPage.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace quillet::testing {
namespace {

TEST_F(MainWindowTest, StartUpShowsTheDefaultsProbesTheEngineOnceAndAsksForTheProductPage)
{
    startWindow();
    EXPECT_EQ(window->windowTitle(), "Quillet");
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件：0项"));
    EXPECT_EQ(text("lblProcessing"), "");
    EXPECT_EQ(box("txtOutDir")->text(), "");
    // The test's own folder is writable, so the log sits beside the program.
    EXPECT_EQ(box("txtLog")->text(), QCoreApplication::applicationDirPath() + QDir::separator() + "Quillet.log");
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("OptSlidesAll")->isChecked());
    EXPECT_EQ(box("txtFrom")->text(), "1");
    EXPECT_TRUE(box("txt2")->isEnabled());
    EXPECT_TRUE(button("CmdHelp")->isHidden());
    EXPECT_EQ(window->ConverterPid(), 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(office.calls(), (QStringList{"CreateApplication", "Version", "Quit"}));
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(browser->requests, QList<QUrl>{webPanelPage()});
    EXPECT_EQ(browser->requests.first().query(), "VER=" + AppVersion);
    EXPECT_TRUE(
        QFontDatabase::writingSystems(window->font().family()).contains(QFontDatabase::SimplifiedChinese));
    // No display name was set, which Qt would add to every other window's title ("新增 — Quillet").
    QCoreApplication::setApplicationName("Tessora");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Tessora");
    QCoreApplication::setApplicationName("Quillet");
}

TEST_F(MainWindowTest, DocxSupportFollowsTheEnginesMajorVersion)
{
    const QList<QPair<QString, bool>> cases = {{"11.9", false}, {"12", true},     {"16.0", true},
                                               {"abc", false},  {"99999.0", false}, {"fails", false}};
    for (const auto& [version, docx] : cases) {
        FakeOffice fresh;
        fresh.setVersion(version);
        if (version == "fails") {
            fresh.failOn("Version", 1234, "version unreadable");
            fresh.failOn("Quit", 1234, "quit failed");
        }
        MainWindow probed(fresh, dialogs, [](QWidget* parent) { return new RecordingBrowser(parent); });
        ASSERT_TRUE(probed.Form_Load()) << version.toStdString();
        EXPECT_EQ(probed.DocxSupported(), docx) << version.toStdString();
        EXPECT_EQ(fresh.liveApplications(), 0);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindowTest, WithoutAnEngineOneMessageAndNoPage)
{
    office.failOn("CreateApplication", ErrorNumber::EngineUnavailable, "no office");
    makeWindow();
    EXPECT_FALSE(window->Form_Load());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("你的计算机中没有安装LibreOffice，无法正常使用本软件！"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(browser->requests.isEmpty());
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsAtTheirDesignPlaces)
{
    startWindow();
    const QList<QPair<QString, QString>> buttons = {
        {"CmdFileOp_0", "添加文件"}, {"CmdFileOp_1", "添加目录"}, {"CmdFileOp_2", "移除文件"},
        {"CmdFileOp_3", "全部清空"}, {"CmdDo", "批量文档转图片"}, {"CmdPicExtract", "批量提取文档中图片"},
        {"Command3", "图片格式转换"}, {"CmdExit", "退出"},       {"CmdHide", "隐藏"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(button(name)->text(), caption);
    EXPECT_EQ(control<QGroupBox>("Frame5")->title(), QStringLiteral("选  项"));
    EXPECT_EQ(text("Label2"), QStringLiteral(" 转换页码范围："));
    EXPECT_EQ(control<QTreeView>("ListView2")->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("文件"));
    EXPECT_EQ(window->size(), QSize(pixels(13065), pixels(8580)));
    EXPECT_EQ(control("Frame1")->geometry(), window->twips().toPixels(60, 60, 10155, 4455));
    EXPECT_EQ(box("txtLog")->geometry(), window->twips().toPixels(2700, 240, 6795, 345));
    EXPECT_EQ(window->minimumHeight(), window->maximumHeight()); // only the width is the user's
}

// Only the list column and the web panel follow the width; a width that would be negative is
// skipped step by step; hide and show follow their formulas, drifting by 160 twips less the border.
TEST_F(MainWindowTest, TheWebPanelFollowsTheWidthAndHidesAndShows)
{
    startWindow();
    QWidget* frame6 = control("Frame6");
    QWidget* web = control("WebBrowser1");
    const QRect frame1 = control("Frame1")->geometry();
    for (int clientTwips : {16000, 11000}) {
        window->resize(pixels(clientTwips), window->height());
        EXPECT_NEAR(twips(window->width() - frame6->geometry().right() - 1), 50, 2 * onePixel());
        EXPECT_NEAR(twips(window->width() - frame6->x() - web->geometry().right() - 1), 90, 2 * onePixel());
        EXPECT_EQ(control("Frame1")->geometry(), frame1);
    }
    window->resize(pixels(10400), window->height()); // the panel gets 30 twips, the browser none
    EXPECT_NEAR(twips(frame6->width()), 30, onePixel());
    const int browserBefore = web->width();
    window->resize(pixels(9000), window->height());
    EXPECT_NEAR(twips(frame6->width()), 30, onePixel());
    EXPECT_EQ(web->width(), browserBefore);

    window->resize(pixels(13065), window->height());
    const int border = twips(window->frameGeometry().width() - window->width());
    for (int cycle = 0; cycle < 2; ++cycle) {
        const int client = twips(window->width());
        const int panel = twips(frame6->width());
        button("CmdHide")->click();
        EXPECT_TRUE(frame6->isHidden());
        EXPECT_FALSE(button("CmdHelp")->isHidden());
        EXPECT_NEAR(twips(window->frameGeometry().width()), client - panel + 80, onePixel());
        const int outer = twips(window->frameGeometry().width());
        button("CmdHelp")->click();
        EXPECT_NEAR(twips(window->frameGeometry().width()), outer + panel + 80, onePixel());
        EXPECT_NEAR(twips(window->width()), client + 160 - border, 2 * onePixel());
        const QRect shown = window->geometry();
        button("CmdHelp")->click(); // shown already: nothing changes
        EXPECT_EQ(window->geometry(), shown);
    }
    button("CmdExit")->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, BrowseButtonsFillTheBoxesAndTheLogBoxStaysChecked)
{
    startWindow();
    dialogs.folderAnswers << "/data/pictures";
    button("Command2")->click();
    EXPECT_EQ(box("txtOutDir")->text(), "/data/pictures");
    button("Command2")->click(); // cancelled: the box is emptied too
    EXPECT_EQ(box("txtOutDir")->text(), "");
    EXPECT_EQ(dialogs.folderRequests, (QStringList{"请选择一个文件夹", "请选择一个文件夹"}));

    const QString log = box("txtLog")->text();
    dialogs.saveFileAnswers << "   " << "/var/log/quillet/errors.log ";
    button("Command1")->click();
    EXPECT_EQ(box("txtLog")->text(), log);
    button("Command1")->click();
    EXPECT_EQ(box("txtLog")->text(), "/var/log/quillet/errors.log ");
    EXPECT_EQ(dialogs.saveFileRequests[0], QStringLiteral("处理日志|Slatern.log|处理日志(*.log)|") +
                                               QCoreApplication::applicationDirPath() + "|1");
    QTemporaryDir logs; // the log file's "..." opens where the current log file is
    box("txtLog")->setText(logs.filePath("errors.log"));
    button("Command1")->click();
    EXPECT_TRUE(dialogs.saveFileRequests[2].endsWith(logs.path() + "|1"));

    QTest::mouseClick(control<QCheckBox>("Check1"), Qt::LeftButton);
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
}

TEST_F(MainWindowTest, PageRangeOptionsEnableTheBoxesWhichTakeDigitsFromTheKeyboard)
{
    startWindow();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::mouseClick(control<QRadioButton>("OptSlidesAll"), Qt::LeftButton); // selected already
    EXPECT_FALSE(box("txtFrom")->isEnabled());
    control<QRadioButton>("OptSlides2")->click();
    EXPECT_TRUE(box("txtFrom")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), box("txtFrom"));
    control<QRadioButton>("OptSlidesAll")->click();
    EXPECT_FALSE(box("txt2")->isEnabled());
    control<QRadioButton>("OptSlides2")->setChecked(true); // from code: the same handler runs
    EXPECT_TRUE(box("txt2")->isEnabled());

    for (QLineEdit* pageBox : {box("txtFrom"), box("txt2")}) {
        pageBox->setFocus();
        pageBox->end(false);
        QTest::keyClicks(pageBox, "2a- 3.x+");
        EXPECT_EQ(pageBox->text(), "123");
        QTest::keyClick(pageBox, Qt::Key_Backspace);
        EXPECT_EQ(pageBox->text(), "12");
        QGuiApplication::clipboard()->setText("ab"); // pasting is not filtered
        pageBox->paste();
        EXPECT_EQ(pageBox->text(), "12ab");
        pageBox->home(false);
        // The Delete key as X sends it: with the text U+007F.
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QApplication::sendEvent(pageBox, &del);
        EXPECT_EQ(pageBox->text(), "2ab");
        QInputMethodQueryEvent inputMethod(Qt::ImEnabled); // what an input method asks first
        QApplication::sendEvent(pageBox, &inputMethod);
        EXPECT_FALSE(inputMethod.value(Qt::ImEnabled).toBool());
    }
}

TEST_F(MainWindowTest, ScreenReadersHearWhatASightedUserReads)
{
    startWindow();
    const auto heard = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    FrmPath folderDialog(dialogs, false, window.get());
    const QList<QPair<QString, QString>> said = {
        {"txtOutDir", "图片保存到目录："},
        {"txtLog", "处理时的异常记录到文件："},
        {"txt2", "转换页码范围："},
        {"txtFolder", "添加文档的目录："}}; // the add-folder dialog's
    for (const auto& [name, caption] : said)
        EXPECT_EQ(heard(control(name)), caption);
    // On Linux a combo box is named by the label it relates to; its own name is its text.
    const auto labels =
        QAccessible::queryAccessibleInterface(control("Combo1"))->relations(QAccessible::Label);
    EXPECT_EQ(labels.isEmpty() ? QString() : labels[0].first->text(QAccessible::Name),
              QStringLiteral("文件后缀："));
    dialogs.openFilesAnswers << QStringList{"/data/a.doc"};
    button("CmdFileOp_0")->click();
    EXPECT_EQ(heard(control("lblInput")), QStringLiteral("待处理文件1项"));
    for (QWidget* w : window->findChildren<QWidget*>()) // the add-folder dialog's too
        EXPECT_TRUE(w->objectName().isEmpty() || heard(w) != w->objectName())
            << w->objectName().toStdString();
}

// Every window and control takes the program's font whatever the desktop's: at the usual 11 points
// of a desktop no caption is cut.
TEST_F(MainWindowTest, EveryWindowTakesTheProgramsFontAndEnterPressesTheFocusedButton)
{
    const QFont desktop = QApplication::font();
    QApplication::setFont(QFont(desktop.family(), 11));
    startWindow();
    QStringList cut;
    QTimer::singleShot(0, [&] {
        auto* d = static_cast<FrmPath*>(QApplication::activeModalWidget());
        for (QWidget* w :
             QList<QWidget*>{d, d->Label1, d->Label2, d->ChkSubdir, control("Check1"), control("Frame1")})
            // A check box's size hint holds 4 pixels of margin around its caption.
            if (w->font() != control("Check1")->font() ||
                w->sizeHint().width() - (qobject_cast<QCheckBox*>(w) ? 4 : 0) > w->width())
                cut << w->objectName();
        d->reject();
    });
    button("CmdFileOp_1")->click();
    EXPECT_EQ(cut, QStringList()); // not in the program's font, or cut
    QApplication::setFont(desktop);
    QTest::keyClick(button("CmdHide"), Qt::Key_Return);
    EXPECT_TRUE(control("Frame6")->isHidden());
}

TEST(StartupDefaults, TheLogGoesBesideTheProgramOrToTheUsersDataFolder)
{
    QTemporaryDir program;
    QTemporaryDir data;
    EXPECT_EQ(defaultLogPath(program.path(), data.path()), program.path() + QDir::separator() + "Quillet.log");
    // A folder given with its separator (a root folder) is concatenated as it is.
    EXPECT_EQ(defaultLogPath(program.path() + "/", data.path()), program.path() + "//Quillet.log");
    EXPECT_TRUE(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    // No one, root included, can create files in /proc.
    EXPECT_EQ(defaultLogPath("/proc", data.path() + "/Quillet"), data.path() + "/Quillet/Quillet.log");
    EXPECT_TRUE(QFileInfo(data.path() + "/Quillet").isDir());
}

} // namespace
} // namespace quillet::testing
