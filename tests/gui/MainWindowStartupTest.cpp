// Start-up of the main window: the defaults, the engine probe and the end without an engine.

#include "MainWindowFixture.h"
#include "engine/EngineError.h"
#include "gui/WebPanelPage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QRadioButton>
#include <QTreeView>

namespace quillet::testing {
namespace {

TEST_F(MainWindowTest, FirstStartShowsTheDefaults)
{
    startWindow();
    EXPECT_EQ(window->windowTitle(), "Quillet");
    EXPECT_EQ(QCoreApplication::applicationName(), "Quillet");
    EXPECT_EQ(window->lblInput->text(), QStringLiteral("待处理文件：0项"));
    EXPECT_EQ(window->lblProcessing->text(), "");
    EXPECT_EQ(window->ConverterPid, 0);
    EXPECT_EQ(window->txtOutDir->text(), "");
    // The test's own folder is writable, so the log sits beside the program.
    EXPECT_EQ(window->txtLog->text(),
              QCoreApplication::applicationDirPath() + QDir::separator() + "Quillet.log");
    EXPECT_TRUE(window->Check1->isChecked());
    EXPECT_TRUE(window->OptSlidesAll->isChecked());
    EXPECT_FALSE(window->OptSlides2->isChecked());
    EXPECT_EQ(window->txtFrom->text(), "1");
    EXPECT_EQ(window->txt2->text(), "1");
    EXPECT_TRUE(window->txtFrom->isEnabled());
    EXPECT_TRUE(window->txt2->isEnabled());
    EXPECT_TRUE(window->CmdHelp->isHidden());
    EXPECT_FALSE(window->Frame6->isHidden());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    const ConversionOptions options = window->options();
    EXPECT_EQ(options.outputFolder, "");
    EXPECT_EQ(options.logPath, window->txtLog->text());
    EXPECT_TRUE(options.allPages);
    EXPECT_FALSE(options.pageRange);
    EXPECT_EQ(options.firstPage, "1");
    EXPECT_EQ(options.lastPage, "1");
}

TEST_F(MainWindowTest, ProbeCreatesReadsTheVersionQuitsAndLoadsThePageOnce)
{
    startWindow();
    EXPECT_EQ(office.calls(), (QStringList{"CreateApplication", "Version", "Quit"}));
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(window->WordApp, nullptr);
    ASSERT_EQ(browser->requests.size(), 1);
    EXPECT_EQ(browser->requests.first(), QUrl("http://quillet.invalid/soft/Quillet.aspx?VER=1.35"));
    EXPECT_EQ(browser->requests.first().query(), "VER=1.35");
}

TEST_F(MainWindowTest, DocxSupportFollowsTheMajorVersion)
{
    const QList<QPair<QString, bool>> cases = {{"11.0", false}, {"11.9", false}, {"9", false},
                                               {"12.0", true},  {"16.0", true},  {"12", true},
                                               {"abc", false},  {"", false},     {"99999.0", false}};
    for (const auto& [version, docx] : cases) {
        FakeOffice fresh;
        fresh.setVersion(version);
        ScriptedDialogs quiet;
        MainWindow probed(fresh, quiet, [](QWidget* parent) { return new RecordingBrowser(parent); });
        ASSERT_TRUE(probed.Form_Load()) << version.toStdString();
        EXPECT_EQ(probed.DocxSupported(), docx) << version.toStdString();
        EXPECT_EQ(fresh.liveApplications(), 0);
    }
}

TEST_F(MainWindowTest, FailingVersionOrQuitIsSkipped)
{
    office.failOn("Version", 1234, "version unreadable");
    office.failOn("Quit", 1234, "quit failed");
    makeWindow();
    ASSERT_TRUE(window->Form_Load());
    EXPECT_FALSE(window->DocxSupported());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(browser->requests.size(), 1);
    EXPECT_EQ(window->WordApp, nullptr);
    EXPECT_EQ(office.liveApplications(), 0);
}

TEST_F(MainWindowTest, WithoutAnEngineOneMessageAndNoWindowNoPage)
{
    office.failOn("CreateApplication", ErrorNumber::EngineUnavailable, "no office");
    makeWindow();
    EXPECT_FALSE(window->Form_Load());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("你的计算机中没有安装LibreOffice，无法正常使用本软件！"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(browser->requests.isEmpty());
    EXPECT_EQ(office.calls(), QStringList{"CreateApplication"});
}

TEST_F(MainWindowTest, ControlsCarryTheirNamesAndCaptions)
{
    startWindow();
    const QList<QPair<QString, QString>> buttons = {
        {"CmdFileOp_0", "添加文件"},  {"CmdFileOp_1", "添加目录"},
        {"CmdFileOp_2", "移除文件"},  {"CmdFileOp_3", "全部清空"},
        {"Command2", "..."},          {"Command1", "..."},
        {"CmdDo", "批量文档转图片"},  {"CmdPicExtract", "批量提取文档中图片"},
        {"Command3", "图片格式转换"}, {"CmdExit", "退出"},
        {"CmdHelp", "帮助"},          {"CmdHide", "隐藏"}};
    for (const auto& [name, caption] : buttons) {
        auto* found = window->findChild<QPushButton*>(name);
        ASSERT_NE(found, nullptr) << name.toStdString();
        EXPECT_EQ(found->text(), caption) << name.toStdString();
        EXPECT_EQ(found->accessibleName(), caption) << name.toStdString();
    }
    const QList<QPair<QString, QString>> frames = {{"Frame1", "待处理文件"}, {"Frame2", "输出"},
                                                   {"Frame5", "选  项"},     {"Frame4", "进  度"},
                                                   {"Frame3", ""},           {"Frame6", "关于"}};
    for (const auto& [name, caption] : frames) {
        auto* found = window->findChild<QGroupBox*>(name);
        ASSERT_NE(found, nullptr) << name.toStdString();
        EXPECT_EQ(found->title(), caption) << name.toStdString();
    }
    EXPECT_EQ(window->findChild<QLabel*>("Label2")->text(), QStringLiteral(" 转换页码范围："));
    EXPECT_EQ(window->findChild<QLabel*>("Label3")->text(), QStringLiteral("－"));
    EXPECT_EQ(window->findChild<QLabel*>("Label1")->text(), QStringLiteral("图片保存到目录："));
    EXPECT_EQ(window->findChild<QRadioButton*>("OptSlidesAll")->text(), QStringLiteral("全部"));
    EXPECT_EQ(window->findChild<QRadioButton*>("OptSlides2")->text(), QStringLiteral("指定范围："));
    EXPECT_EQ(window->findChild<QCheckBox*>("Check1")->text(), QStringLiteral("处理时的异常记录到文件："));
    for (const char* box : {"txtFrom", "txt2", "txtOutDir", "txtLog"})
        EXPECT_NE(window->findChild<QLineEdit*>(box), nullptr) << box;
    EXPECT_NE(window->findChild<QWidget*>("WebBrowser1"), nullptr);

    auto* list = window->findChild<QTreeView*>("ListView2");
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->rootIsDecorated());
    ASSERT_NE(list->model(), nullptr);
    EXPECT_EQ(list->model()->columnCount(), 1);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件"));
    EXPECT_EQ(list->model()->rowCount(), 0);

    // The captions are drawn with a font that has Chinese glyphs.
    EXPECT_TRUE(
        QFontDatabase::writingSystems(window->font().family()).contains(QFontDatabase::SimplifiedChinese))
        << window->font().family().toStdString();
}

TEST_F(MainWindowTest, ControlsStandAtTheirDesignGeometry)
{
    startWindow();
    const auto expectAt = [this](QWidget* widget, int left, int top, int width, int height) {
        EXPECT_EQ(widget->geometry(), window->twips().toPixels(left, top, width, height))
            << widget->objectName().toStdString();
    };
    EXPECT_EQ(window->width(), pixels(13065));
    EXPECT_EQ(window->height(), pixels(8580));
    expectAt(window->Frame1, 60, 60, 10155, 4455);
    expectAt(window->Frame3, 60, 7860, 10155, 675);
    expectAt(window->CmdFileOp[2], 60, 2280, 915, 375);
    expectAt(window->ListView2, 1140, 240, 8895, 3495);
    expectAt(window->txtFrom, 5160, 3960, 495, 390);
    expectAt(window->CmdDo, 840, 200, 1935, 375);
    expectAt(window->CmdHelp, 9120, 200, 915, 375);
    expectAt(window->txtOutDir, 1860, 270, 7215, 345);
    expectAt(window->txtLog, 2700, 240, 6795, 345);
    expectAt(window->CmdHide, 900, 8100, 915, 375);
    // At the design width the fitted panel is where the design puts it.
    EXPECT_NEAR(twips(window->Frame6->width()), 2715, onePixel());
    EXPECT_NEAR(twips(window->WebBrowser1->width()), 2595, onePixel());
    EXPECT_NEAR(twips(window->ListView2->header()->sectionSize(0)), 8895 - 100, onePixel());
    // Only the width is the user's to change.
    EXPECT_EQ(window->minimumHeight(), window->maximumHeight());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
}

} // namespace
} // namespace quillet::testing
