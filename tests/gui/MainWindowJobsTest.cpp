// The two batch buttons of the main window, driven by clicks on the fake engine.

#include "doclist/DocumentList.h"
#include "gui/MainWindow.h"
#include "gui/WebBrowser.h"
#include "support/FakeOffice.h"
#include "support/JobTestSupport.h"
#include "support/ScriptedDialogs.h"

#include <QDesktopServices>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QUrl>
#include <QWindow>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class SilentBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl&) override {}
};

// Takes the desktop's "open this file" requests instead of starting a viewer.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

struct ControlStates
{
    bool CmdDo, CmdPicExtract, txtOutDir, txtLog, busy;
    QString progress;
};

class MainWindowJobs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        window = std::make_unique<MainWindow>(office, dialogs,
                                              [](QWidget* parent) { return new SilentBrowser(parent); });
        ASSERT_TRUE(window->Form_Load());
        window->show();
        window->txtOutDir->setText(m_dir.filePath("out"));
        window->txtLog->setText(m_dir.filePath("Quillet.log"));
        dialogs.onMessage = [this](const ShownMessage&) { states << snapshot(); };
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

    QString addDocument(const QString& name, int pages, int shapes)
    {
        const QString path = m_dir.filePath(name);
        if (pages > 0 || shapes > 0) {
            FakeDocumentScript script;
            script.pageLengths.assign(pages, 4);
            script.inlineShapes.assign(shapes, FakeShapeScript{});
            office.addDocument(path, script);
        }
        window->documentList().AddToList(path);
        return path;
    }
    ControlStates snapshot() const
    {
        return {window->CmdDo->isEnabled(),
                window->CmdPicExtract->isEnabled(),
                window->txtOutDir->isEnabled(),
                window->txtLog->isEnabled(),
                QGuiApplication::overrideCursor() != nullptr,
                window->lblProcessing->text()};
    }
    QStringList outFiles() const { return FilesIn(m_dir.filePath("out")); }

    QTemporaryDir m_dir;
    FakeOffice office;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    QList<ControlStates> states; // at each message box
};

} // namespace

TEST_F(MainWindowJobs, ConvertButtonRunsTheJobAndGivesTheWindowBack)
{
    addDocument("a.doc", 2, 0);
    addDocument("b.docx", 1, 0);
    const int appsBefore = office.count("CreateApplication");
    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"转换完毕！"});
    ASSERT_EQ(states.size(), 1);
    EXPECT_FALSE(states[0].CmdDo || states[0].CmdPicExtract || states[0].txtOutDir || states[0].txtLog);
    EXPECT_FALSE(states[0].busy);
    EXPECT_EQ(states[0].progress, "正在处理第2个文件");
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf", "b-1.emf"}));
    EXPECT_EQ(window->txtOutDir->text(), m_dir.filePath("out") + '/');
    EXPECT_EQ(window->lblProcessing->text(), "处理完毕！");
    EXPECT_TRUE(window->CmdDo->isEnabled() && window->CmdPicExtract->isEnabled());
    EXPECT_TRUE(window->txtOutDir->isEnabled() && window->txtLog->isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(office.count("CreateApplication"), appsBefore + 1);
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(window->documentList().entries(),
              (QStringList{m_dir.filePath("a.doc"), m_dir.filePath("b.docx")}));
}

TEST_F(MainWindowJobs, LogOfferOpensTheLogInTheDesktopViewer)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "openUrl");
    addDocument("ok.doc", 1, 0);
    const QString missing = addDocument("missing.doc", 0, 0);
    dialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    window->CmdDo->click();
    ASSERT_EQ(dialogs.messageTexts(),
              (QStringList{"转换完毕！", "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"}));
    // While the question is shown, only the log box is still locked.
    EXPECT_TRUE(states[1].CmdDo && states[1].CmdPicExtract && states[1].txtOutDir);
    EXPECT_FALSE(states[1].txtLog);
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.filePath("Quillet.log"))});
    EXPECT_EQ(LogLines(m_dir.filePath("Quillet.log")).size(), 1);
    EXPECT_TRUE(window->txtLog->isEnabled());
}

TEST_F(MainWindowJobs, MissingLogFileIsReportedInsteadOfOpened)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "openUrl");
    addDocument("missing.doc", 0, 0);
    window->txtLog->setText(m_dir.filePath("no-folder/Quillet.log"));
    dialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    window->CmdDo->click();
    ASSERT_EQ(dialogs.messageTexts().size(), 3);
    EXPECT_TRUE(dialogs.messageTexts()[2].contains(m_dir.filePath("no-folder/Quillet.log")));
    EXPECT_TRUE(recorder.opened.isEmpty());
}

TEST_F(MainWindowJobs, ExtractButtonSelectsAllPagesAndSkipsTheRangeCheck)
{
    addDocument("pics.docx", 1, 3);
    window->OptSlides2->setChecked(true);
    window->txtFrom->setText("");
    window->txt2->setText("");
    window->CmdPicExtract->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"图像提取完毕！"});
    EXPECT_TRUE(window->OptSlidesAll->isChecked());
    EXPECT_FALSE(window->txtFrom->isEnabled());
    EXPECT_FALSE(window->txt2->isEnabled());
    EXPECT_EQ(outFiles(), (QStringList{"pics-1.bmp", "pics-2.bmp", "pics-3.bmp"}));
}

TEST_F(MainWindowJobs, ExtractionDisablesThePageBoxesAlsoWhenAllPagesWasSelected)
{
    addDocument("pics.docx", 1, 1);
    ASSERT_TRUE(window->OptSlidesAll->isChecked());
    window->txtFrom->setEnabled(true);
    window->txt2->setEnabled(true);
    window->CmdPicExtract->click();
    EXPECT_FALSE(window->txtFrom->isEnabled());
    EXPECT_FALSE(window->txt2->isEnabled());
}

TEST_F(MainWindowJobs, InputChecksUseTheWindowsBrowseCommands)
{
    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"没有需要处理的文档！"});

    addDocument("a.doc", 1, 0);
    window->txtOutDir->setText("  ");
    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts().last(), "请输入图片保存目录！");
    EXPECT_EQ(dialogs.folderRequests, QStringList{"请选择一个文件夹"});

    window->txtOutDir->setText(m_dir.filePath("out"));
    window->txtLog->setText("");
    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts().last(), "请输入日志文件名！");
    EXPECT_EQ(dialogs.saveFileRequests.size(), 1);

    window->txtLog->setText(m_dir.filePath("Quillet.log"));
    window->OptSlides2->setChecked(true);
    window->txtFrom->setText("5");
    window->txt2->setText("3");
    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts().last(), "请输入正确的页码范围（数字）！");
    EXPECT_TRUE(window->CmdDo->isEnabled());
    EXPECT_TRUE(outFiles().isEmpty());
}

// What the user does while a job runs reaches no handler, not even after the job; a close request
// is carried out once the job has ended. The events are queued before the click, so the job's own
// repaints are what would deliver them.
TEST_F(MainWindowJobs, InputDuringAJobIsDroppedAndACloseWaitsForItsEnd)
{
    addDocument("a.doc", 2, 0);
    const QString dropped = m_dir.filePath("dropped.doc");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(dropped)});
    QMimeData text;
    text.setText("7");
    const auto drop = [](QWidget* target, QMimeData* data) {
        const QPointF at(target->width() / 2, target->height() / 2);
        QCoreApplication::postEvent(
            target, new QDragEnterEvent(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(target,
                                    new QDropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier));
    };
    drop(window->ListView2->viewport(), &files);
    window->txtFrom->setEnabled(true);
    drop(window->txtFrom, &text);
    QCoreApplication::postEvent(window->CmdFileOp[3],
                                new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);

    window->CmdDo->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"转换完毕！"});
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->documentList().count(), 1);
    EXPECT_EQ(window->txtFrom->text(), "1");
    EXPECT_EQ(window->lblProcessing->text(), "处理完毕！");
    EXPECT_FALSE(window->isVisible());
}

#include "MainWindowJobsTest.moc"
