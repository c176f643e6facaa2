// The main window and its add-folder dialog: start-up and its engine probe, the controls' captions
// and places, the layout rule with the web panel, the browse buttons, the page range boxes, the font.

#include "MainWindowFixture.h"
#include "dialogs/QtDialogs.h"
#include "engine/EngineError.h"
#include "gui/FrmPath.h"
#include "gui/StartupDefaults.h"
#include "jobs/LogFile.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

using namespace quillet;
using namespace quillet::testing;

namespace {

// Runs action on the add-folder dialog as soon as its event loop runs.
void whenModalOpens(std::function<void(FrmPath&)> action)
{
    QTimer::singleShot(0, [action] { action(*qobject_cast<FrmPath*>(QApplication::activeModalWidget())); });
}

TEST_F(MainWindowTest, StartUpShowsTheDefaultsPutsTheLogWhereItCanBeWrittenAndAsksForThePage)
{
    startWindow();
    EXPECT_EQ(window->windowTitle(), "Quillet");
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件：0项"));
    // The test's own folder is writable, so the log sits beside the program.
    EXPECT_EQ(box("txtLog")->text(), QCoreApplication::applicationDirPath() + "/Quillet.log");
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("OptSlidesAll")->isChecked());
    EXPECT_TRUE(box("txt2")->isEnabled());
    EXPECT_TRUE(button("CmdHelp")->isHidden());
    EXPECT_EQ(office.calls(), (QStringList{"CreateApplication", "Version", "Quit"}));
    EXPECT_EQ(browser->requests, QList<QUrl>{webPanelPage()});
    // No display name was set, which Qt would add to every other window's title ("新增 — Quillet").
    QCoreApplication::setApplicationName("Tessora");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Tessora");
    QCoreApplication::setApplicationName("Quillet");

    // The log goes to the user's data folder (made) where the program's cannot take files, which
    // the trial leaves as it was. No one, root included, can create files in /proc.
    QTemporaryDir program, data;
    EXPECT_EQ(defaultLogPath(program.path(), data.path()), program.path() + "/Quillet.log");
    EXPECT_TRUE(QDir(program.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(defaultLogPath("/proc", data.path() + "/Quillet"), data.path() + "/Quillet/Quillet.log");
    EXPECT_TRUE(QFileInfo(data.path() + "/Quillet").isDir());
}

// .docx from major version 12; a version that cannot be read means none; without an engine the
// program ends after one message and loads no page. The probe's application is always quit.
TEST_F(MainWindowTest, TheEngineProbeDecidesDocxAndWhetherTheProgramRuns)
{
    for (const QString version : {"11.9", "12", "16.0", "abc", "99999.0", "fails", "none"}) {
        SCOPED_TRACE(version.toStdString());
        FakeOffice fresh;
        fresh.setVersion(version);
        if (version == "fails") {
            fresh.failOn("Version", 1234, "version unreadable");
            fresh.failOn("Quit", 1234, "quit failed");
        }
        if (version == "none")
            fresh.failOn("CreateApplication", ErrorNumber::EngineUnavailable, "no office");
        RecordingBrowser* panel = nullptr;
        MainWindow probed(fresh, dialogs,
                          [&panel](QWidget* parent) { return panel = new RecordingBrowser(parent); });
        EXPECT_EQ(probed.Form_Load(), version != "none");
        EXPECT_EQ(panel->requests.size(), version != "none" ? 1 : 0);
        EXPECT_EQ(fresh.liveApplications(), 0);
        probed.findChild<QPushButton*>("CmdFileOp_0")->click();
        EXPECT_EQ(dialogs.openFilesRequests.last(), version == "12" || version == "16.0"
                                                        ? QStringLiteral("新增|Word文件 (*.doc *.docx)")
                                                        : QStringLiteral("新增|Word文件 (*.doc)"));
    }
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("你的计算机中没有安装LibreOffice，无法正常使用本软件！"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
}

// A screen reader says what a sighted user reads: a caption, or for a text box the label beside it.
TEST_F(MainWindowTest, ControlsSayTheirCaptionsAndSitAtTheirPlaces)
{
    startWindow();
    FrmPath folderDialog(dialogs, false, window.get());
    const auto heard = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    // clang-format off
    const QList<QPair<QString, QString>> said = {
        {"CmdFileOp_0", "添加文件"}, {"CmdFileOp_1", "添加目录"}, {"CmdFileOp_2", "移除文件"},
        {"CmdFileOp_3", "全部清空"}, {"CmdDo", "批量文档转图片"}, {"CmdPicExtract", "批量提取文档中图片"},
        {"Command3", "图片格式转换"}, {"CmdExit", "退出"}, {"CmdHide", "隐藏"}, {"Frame5", "选  项"},
        {"txtOutDir", "图片保存到目录："}, {"txtLog", "处理时的异常记录到文件："}, {"txt2", "转换页码范围："},
        {"txtFolder", "添加文档的目录："}}; // the last the add-folder dialog's
    // clang-format on
    for (const auto& [name, caption] : said)
        EXPECT_EQ(heard(control(name)), caption) << name.toStdString();
    // On Linux a combo box is named by the label it relates to; its own name is its text.
    const auto labels =
        QAccessible::queryAccessibleInterface(control("Combo1"))->relations(QAccessible::Label);
    EXPECT_EQ(labels.isEmpty() ? QString() : labels[0].first->text(QAccessible::Name),
              QStringLiteral("文件后缀："));
    dialogs.openFilesAnswers << QStringList{"/data/a.doc"};
    button("CmdFileOp_0")->click();
    EXPECT_EQ(heard(control("lblInput")), QStringLiteral("待处理文件1项"));
    for (QWidget* w : window->findChildren<QWidget*>())
        EXPECT_TRUE(w->objectName().isEmpty() || heard(w) != w->objectName())
            << w->objectName().toStdString();
    EXPECT_EQ(control<QTreeView>("ListView2")->model()->headerData(0, Qt::Horizontal),
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
        EXPECT_NEAR(twips(window->width() - frame6->geometry().right() - 1), 50, twips(2));
        EXPECT_NEAR(twips(window->width() - frame6->x() - web->geometry().right() - 1), 90, twips(2));
        EXPECT_EQ(control("Frame1")->geometry(), frame1);
    }
    window->resize(pixels(10400), window->height()); // the panel gets 30 twips, the browser none
    EXPECT_NEAR(twips(frame6->width()), 30, twips(1));
    const int browserBefore = web->width();
    window->resize(pixels(9000), window->height());
    EXPECT_NEAR(twips(frame6->width()), 30, twips(1));
    EXPECT_EQ(web->width(), browserBefore);

    window->resize(pixels(13065), window->height());
    const int border = twips(window->frameGeometry().width() - window->width());
    for (int cycle = 0; cycle < 2; ++cycle) {
        const int client = twips(window->width());
        const int panel = twips(frame6->width());
        QTest::keyClick(button("CmdHide"), Qt::Key_Return); // Enter presses the focused button
        EXPECT_TRUE(frame6->isHidden());
        EXPECT_FALSE(button("CmdHelp")->isHidden());
        EXPECT_NEAR(twips(window->frameGeometry().width()), client - panel + 80, twips(1));
        const int outer = twips(window->frameGeometry().width());
        button("CmdHelp")->click();
        EXPECT_NEAR(twips(window->frameGeometry().width()), outer + panel + 80, twips(1));
        EXPECT_NEAR(twips(window->width()), client + 160 - border, twips(2));
        const QRect shown = window->geometry();
        button("CmdHelp")->click(); // shown already: nothing changes
        EXPECT_EQ(window->geometry(), shown);
    }
    button("CmdExit")->click();
    EXPECT_FALSE(window->isVisible());
}

// A cancelled folder browser empties its box, and the add-folder dialog's belongs to it; the log chooser
// keeps the box for a blank answer and opens where the current log is; the log box stays checked.
TEST_F(MainWindowTest, BrowseButtonsFillTheBoxesAndTheLogBoxStaysChecked)
{
    startWindow();
    FrmPath folderDialog(dialogs, false, window.get());
    for (const auto& [browse, folder] : {std::pair{button("Command2"), box("txtOutDir")},
                                         {folderDialog.CmdFolder, folderDialog.txtFolder}}) {
        folder->setText("/typed");
        dialogs.folderAnswers << "/data/pictures";
        browse->click();
        EXPECT_EQ(folder->text(), "/data/pictures");
        browse->click();
        EXPECT_EQ(folder->text(), "");
    }
    EXPECT_EQ(dialogs.folderRequests, QStringList(4, QStringLiteral("请选择一个文件夹")));
    QtDialogs qtDialogs(window.get()); // the add-folder dialog's browser belongs to that dialog
    FrmPath owning(qtDialogs, false, window.get());
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
        owner = QApplication::activeModalWidget()->parentWidget();
        static_cast<QDialog*>(QApplication::activeModalWidget())->reject();
    });
    owning.CmdFolder->click();
    EXPECT_EQ(owner, &owning);

    const QString log = box("txtLog")->text();
    dialogs.saveFileAnswers << QStringList{"   ", "/var/log/quillet/errors.log "};
    button("Command1")->click();
    EXPECT_EQ(box("txtLog")->text(), log);
    button("Command1")->click();
    EXPECT_EQ(box("txtLog")->text(), "/var/log/quillet/errors.log ");
    EXPECT_EQ(dialogs.saveFileRequests[0], QStringLiteral("处理日志|Slatern.log|处理日志(*.log)|") +
                                               QCoreApplication::applicationDirPath() + "|1");
    QTemporaryDir logs;
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

    // Typed text keeps its digits; Backspace, Delete (as X sends it, with U+007F) and pasting work.
    for (QLineEdit* pageBox : {box("txtFrom"), box("txt2")}) {
        pageBox->setFocus();
        pageBox->end(false);
        QTest::keyClicks(pageBox, "2a- 3.x+");
        QTest::keyClick(pageBox, Qt::Key_Backspace);
        QGuiApplication::clipboard()->setText("ab");
        pageBox->paste();
        pageBox->home(false);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QApplication::sendEvent(pageBox, &del);
        EXPECT_EQ(pageBox->text(), "2ab");
        QInputMethodQueryEvent inputMethod(Qt::ImEnabled); // what an input method asks first
        QApplication::sendEvent(pageBox, &inputMethod);
        EXPECT_FALSE(inputMethod.value(Qt::ImEnabled).toBool());
    }
}

// Add-folder asks through its dialog and searches the tree, the wait pointer gone after. Every window
// and control takes the program's font, one with Chinese letters, whatever the desktop's: at the
// usual 11 points of a desktop no caption is cut.
TEST_F(MainWindowTest, AddFolderAsksThroughItsDialogAndEveryWindowTakesTheProgramsFont)
{
    const QFont desktop = QApplication::font();
    QApplication::setFont(QFont(desktop.family(), 11));
    startWindow();
    EXPECT_TRUE(
        QFontDatabase::writingSystems(window->font().family()).contains(QFontDatabase::SimplifiedChinese));
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("S"));
    for (const char* name : {"S/b.doc", "a.doc"})
        ASSERT_TRUE(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    QStringList cut;
    whenModalOpens([&](FrmPath& d) {
        for (QWidget* w :
             QList<QWidget*>{&d, d.Label1, d.Label2, d.ChkSubdir, control("Check1"), control("Frame1")})
            // A check box's size hint holds 4 pixels of margin around its caption.
            if (w->font() != control("Check1")->font() ||
                w->sizeHint().width() - (qobject_cast<QCheckBox*>(w) ? 4 : 0) > w->width())
                cut << w->objectName();
        d.txtFolder->setText(dir.path());
        d.ChkSubdir->setChecked(true);
        d.CmdOK->click();
    });
    button("CmdFileOp_1")->click();
    QApplication::setFont(desktop);
    EXPECT_EQ(cut, QStringList()); // not in the program's font, or cut
    EXPECT_EQ(window->documentList().entries(),
              QStringList({dir.filePath("a.doc"), dir.filePath("S/b.doc")}));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件2项"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// OK hands back the folder as typed and the check box; Cancel and the close box nothing. Enter
// presses the focused button; in the folder box it closes nothing.
TEST(FrmPath, EachOpeningStartsAfreshAndHandsBackWhatTheUserChose)
{
    using Action = std::function<void(FrmPath&)>;
    const std::tuple<const char*, Action, QString> cases[] = {
        {"Enter on OK", [](FrmPath& d) { QTest::keyClick(d.CmdOK, Qt::Key_Enter); }, " /data/docs "},
        {"Enter on Cancel", [](FrmPath& d) { QTest::keyClick(d.CmdCancel, Qt::Key_Enter); }, ""},
        {"close box", [](FrmPath& d) { d.close(); }, ""}};
    ScriptedDialogs dialogs;
    for (const auto& [name, action, folder] : cases) {
        SCOPED_TRACE(name);
        whenModalOpens([action = action](FrmPath& d) {
            EXPECT_EQ(d.focusWidget(), d.CmdOK); // the focus the window takes when it activates
            EXPECT_EQ(d.txtFolder->text(), "");
            EXPECT_FALSE(d.ChkSubdir->isChecked());
            d.txtFolder->setText(" /data/docs ");
            d.ChkSubdir->setChecked(true);
            QTest::keyClick(d.txtFolder, Qt::Key_Return);
            if (d.isVisible())
                action(d);
            if (d.isVisible())
                d.reject();
        });
        const FolderRequest answer = FrmPath::ask(dialogs, false, nullptr);
        EXPECT_EQ(answer.folder, folder);
        EXPECT_EQ(answer.includeSubfolders, !folder.isEmpty());
    }
    EXPECT_EQ(FrmPath(dialogs, false).Combo1->currentText(), "*.doc");
    EXPECT_EQ(FrmPath(dialogs, true).Combo1->currentText(), "*.doc;*.docx");
}

} // namespace
