// The two batch buttons of the main window, on the fake engine.

#include "MainWindowFixture.h"

#include <QDesktopServices>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

namespace quillet::testing {
namespace {

// Takes the desktop's "open this file" requests instead of starting a viewer.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

class MainWindowJobs : public MainWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        startWindow();
        box("txtOutDir")->setText(m_dir.filePath("out"));
        box("txtLog")->setText(m_dir.filePath("Quillet.log"));
        QDesktopServices::setUrlHandler("file", &viewer, "openUrl");
        // The window while each message box is shown: the controls enabled, the pointer, the progress.
        dialogs.onMessage = [this](const ShownMessage&) {
            QStringList state;
            for (const char* name : {"CmdDo", "CmdPicExtract", "txtOutDir", "txtLog"}) {
                if (control(name)->isEnabled())
                    state << name;
            }
            if (QGuiApplication::overrideCursor())
                state << "busy";
            states << state.join(' ') + '|' + text("lblProcessing");
        };
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

    QString addDocument(const QString& name, int pages, int shapes = 0)
    {
        const QString path = m_dir.filePath(name);
        if (pages > 0) {
            FakeDocumentScript script;
            script.pageLengths.assign(pages, 4);
            script.inlineShapes.assign(shapes, true);
            office.addDocument(path, script);
        }
        window->documentList().AddToList(path);
        return path;
    }
    QStringList outFiles() const { return FilesIn(m_dir.filePath("out")); }

    QTemporaryDir m_dir;
    UrlRecorder viewer;
    QStringList states; // one per message box
};

TEST_F(MainWindowJobs, ConvertRunsTheJobLocksTheWindowAndOffersTheLog)
{
    addDocument("a.doc", 2);
    addDocument("missing.doc", 0);
    addDocument("b.docx", 1);
    dialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    button("CmdDo")->click();
    EXPECT_EQ(dialogs.messageTexts(),
              (QStringList{"转换完毕！", "日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"}));
    // Locked while the completion message shows; only the log box while the question shows.
    EXPECT_EQ(states, (QStringList{"|正在处理第3个文件", "CmdDo CmdPicExtract txtOutDir|处理完毕！"}));
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf", "b-1.emf"}));
    EXPECT_EQ(box("txtOutDir")->text(), m_dir.filePath("out") + '/');
    EXPECT_EQ(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.filePath("Quillet.log"))});
    EXPECT_TRUE(box("txtLog")->isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(office.liveApplications(), 0);
    EXPECT_EQ(window->documentList().count(), 3);
}

TEST_F(MainWindowJobs, ExtractSelectsAllPagesAndSkipsTheRangeCheck)
{
    addDocument("pics.docx", 1, 3);
    control<QRadioButton>("OptSlides2")->setChecked(true);
    box("txtFrom")->setText("");
    button("CmdPicExtract")->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"图像提取完毕！"});
    EXPECT_TRUE(control<QRadioButton>("OptSlidesAll")->isChecked());
    EXPECT_FALSE(box("txtFrom")->isEnabled());
    EXPECT_EQ(outFiles(), (QStringList{"pics-1.bmp", "pics-2.bmp", "pics-3.bmp"}));
}

TEST_F(MainWindowJobs, InputChecksUseTheWindowsBrowseCommands)
{
    button("CmdDo")->click();
    addDocument("a.doc", 1);
    box("txtOutDir")->setText("  ");
    button("CmdDo")->click();
    EXPECT_EQ(dialogs.folderRequests, QStringList{"请选择一个文件夹"});
    box("txtOutDir")->setText(m_dir.filePath("out"));
    box("txtLog")->setText("");
    button("CmdDo")->click();
    EXPECT_EQ(dialogs.saveFileRequests.size(), 1);
    EXPECT_EQ(dialogs.messageTexts(), (QStringList{"没有需要处理的文档！", "请输入图片保存目录！", "请输入日志文件名！"}));
    EXPECT_TRUE(button("CmdDo")->isEnabled());
    EXPECT_TRUE(outFiles().isEmpty());
}

// What the user does while a job runs reaches no handler, not even after the job; a close request
// is carried out once the job has ended. The events are queued before the click, so the job's own
// repaints are what would deliver them.
TEST_F(MainWindowJobs, InputDuringAJobIsDroppedAndACloseWaitsForItsEnd)
{
    addDocument("a.doc", 2);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_dir.filePath("dropped.doc"))});
    QMimeData digits;
    digits.setText("7");
    const auto drop = [](QWidget* target, QMimeData* data) {
        const QPoint at(target->width() / 2, target->height() / 2);
        QCoreApplication::postEvent(target,
                                    new QDragEnterEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(target, new QDropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier));
    };
    drop(control<QTreeView>("ListView2")->viewport(), &files);
    drop(box("txtFrom"), &digits);
    QCoreApplication::postEvent(button("CmdFileOp_3"), new QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5),
                                                                        QPointF(5, 5), Qt::LeftButton,
                                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);

    button("CmdDo")->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"转换完毕！"});
    EXPECT_EQ(outFiles(), (QStringList{"a-1.emf", "a-2.emf"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->documentList().count(), 1);
    EXPECT_EQ(box("txtFrom")->text(), "1");
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace quillet::testing

#include "MainWindowJobsTest.moc"
