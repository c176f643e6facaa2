// The main window's list buttons, batch buttons and picture-format button: on the fake engine, and
// with the real converter beside the test program (both are built into the same bin folder).

#include "MainWindowFixture.h"
#include "gui/StartupDefaults.h"
#include "launcher/ConverterAccess.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBrowser>
#include <QThread>
#include <QWindow>
#include <csignal>

using namespace quillet;
using namespace quillet::testing;

namespace {

class MainWindowJobs : public MainWindowTest
{
protected:
    void SetUp() override
    {
        startWindow();
        box("txtOutDir")->setText(m_dir.filePath("out"));
        box("txtLog")->setText(m_dir.filePath("Quillet.log"));
        QDesktopServices::setUrlHandler("file", &viewer, "setSource"); // the desktop's viewer for the log
        // The window while each message box is shown: the controls enabled, the pointer, the progress.
        dialogs.onMessage = [this](const ShownMessage&) {
            QStringList state;
            for (const char* name : {"CmdDo", "CmdPicExtract", "txtOutDir", "txtLog"})
                if (control(name)->isEnabled())
                    state << name;
            if (QGuiApplication::overrideCursor())
                state << "busy";
            states << state.join(' ') + '|' + text("lblProcessing");
        };
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler("file"); }

    // A document in the list: of `pages` pages and `shapes` pictures, or with none one not there.
    void addDocument(const QString& name, int pages, int shapes = 0)
    {
        if (pages > 0)
            office.addDocument(m_dir.filePath(name),
                               {std::vector<CharPosition>(pages, 4), {}, std::vector(shapes, true)});
        window->documentList().AddToList(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
    QTextBrowser viewer;
    QStringList states; // one per message box
};

// A job asks for a blank output folder or log through the window's browse buttons; while it runs the
// window is locked, and after it the log is offered through the desktop. The extraction selects all
// pages, so an empty page box stops nothing. A document whose pictures would take an earlier one's
// names is left out with its log line, in both jobs.
TEST_F(MainWindowJobs, JobsAskThroughTheBrowseButtonsLockTheWindowAndOfferTheLog)
{
    addDocument("a.doc", 2);
    addDocument("missing.doc", 0);
    addDocument("b.docx", 1, 2);
    addDocument("sub/a.docx", 1, 1);
    box("txtOutDir")->setText("  ");
    button("CmdDo")->click();
    EXPECT_EQ(dialogs.folderRequests, QStringList{"请选择一个文件夹"});
    box("txtOutDir")->setText(m_dir.filePath("out"));
    box("txtLog")->setText("");
    button("CmdDo")->click();
    EXPECT_EQ(dialogs.saveFileRequests.size(), 1);
    box("txtLog")->setText(m_dir.filePath("Quillet.log"));
    states.clear();
    dialogs.messageAnswers << MessageAnswer::Ok << MessageAnswer::Ok;
    button("CmdDo")->click();
    const QString question = QStringLiteral("日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？");
    EXPECT_EQ(dialogs.messageTexts(),
              (QStringList{"请输入图片保存目录！", "请输入日志文件名！", "转换完毕！", question}));
    // Locked while the completion message shows; only the log box while the question shows.
    EXPECT_EQ(states, (QStringList{"|正在处理第4个文件", "CmdDo CmdPicExtract txtOutDir|处理完毕！"}));
    EXPECT_EQ(FilesIn(m_dir.filePath("out")), (QStringList{"a-1.emf", "a-2.emf", "b-1.emf"}));
    EXPECT_EQ(FileBytes(m_dir.filePath("out/a-1.emf")), FakePicture(m_dir.filePath("a.doc"), 1));
    EXPECT_EQ(box("txtOutDir")->text(), m_dir.filePath("out") + '/');
    EXPECT_EQ(viewer.source(), QUrl::fromLocalFile(m_dir.filePath("Quillet.log")));
    EXPECT_TRUE(box("txtLog")->isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    control<QRadioButton>("OptSlides2")->setChecked(true);
    box("txtFrom")->setText("");
    button("CmdPicExtract")->click();
    EXPECT_EQ(dialogs.messageTexts().mid(4), (QStringList{"图像提取完毕！", question}));
    EXPECT_EQ(FilesIn(m_dir.filePath("out")).filter(".bmp"), (QStringList{"b-1.bmp", "b-2.bmp"}));
    const QStringList lines = LogLines(m_dir.filePath("Quillet.log")).filter(m_dir.filePath("sub/a.docx"));
    ASSERT_EQ(lines.size(), 2); // one a job
    for (const QString& line : lines)
        EXPECT_TRUE(line.section("处错：", 1).contains(m_dir.filePath("a.doc"))) << line.toStdString();
    EXPECT_TRUE(control<QRadioButton>("OptSlidesAll")->isChecked());
    EXPECT_FALSE(box("txtFrom")->isEnabled());
}

// What the user does while a job runs reaches no handler, not even after the job; a close request
// is carried out once the job has ended. The events are queued before the click, so the job's own
// repaints are what would deliver them. After the job the list takes the drop and its buttons work.
TEST_F(MainWindowJobs, InputDuringAJobIsDroppedAndACloseWaitsForItsEnd)
{
    addDocument("a.doc", 2);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(m_dir.filePath("dropped.doc"))});
    QMimeData digits;
    digits.setText("7");
    QWidget* list = control<QTreeView>("ListView2")->viewport();
    const auto drop = [](QWidget* to, QMimeData* what) {
        QCoreApplication::postEvent(to,
                                    new QDragEnterEvent({5, 5}, Qt::CopyAction, what, Qt::LeftButton, {}));
        QCoreApplication::postEvent(to, new QDropEvent({5, 5}, Qt::CopyAction, what, Qt::LeftButton, {}));
    };
    drop(list, &files);
    drop(box("txtFrom"), &digits);
    QCoreApplication::postEvent(
        button("CmdFileOp_3"),
        new QMouseEvent(QEvent::MouseButtonPress, {5, 5}, {5, 5}, Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);

    button("CmdDo")->click();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"转换完毕！"});
    QCoreApplication::processEvents();
    EXPECT_EQ(window->documentList().count(), 1);
    EXPECT_EQ(box("txtFrom")->text(), "1");
    EXPECT_FALSE(window->isVisible());

    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(list, &enter);
    EXPECT_TRUE(enter.isAccepted());
    drop(list, &files);
    QCoreApplication::processEvents();
    auto* view = control<QTreeView>("ListView2");
    view->setCurrentIndex(view->model()->index(0, 0));
    button("CmdFileOp_2")->click();
    EXPECT_EQ(view->model()->rowCount(), 1);
    EXPECT_EQ(view->model()->index(0, 0).data(), m_dir.filePath("dropped.doc"));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件1项"));
    dialogs.messageAnswers << MessageAnswer::Yes;
    button("CmdFileOp_3")->click();
    EXPECT_EQ(view->model()->rowCount(), 0);
}

// Each click starts a converter on the output folder as typed; the close stops the newest. How the
// converter is started and stopped is the launcher's; here, that the window hands it on.
TEST_F(MainWindowJobs, PictureFormatStartsTheConverterOnTheOutputFolderAndTheCloseStopsIt)
{
    const QString converter = QDir(programFolder()).filePath(QStringLiteral("Tessora.dll"));
    ASSERT_TRUE(QFile::exists(converter));
    QTemporaryDir output(QDir::tempPath() + QStringLiteral("/my pictures-XXXXXX"));
    box("txtOutDir")->setText(output.path());
    button("Command3")->click();
    const qint64 pid = window->ConverterPid();
    ASSERT_GT(pid, 0);
    const QString proc = QStringLiteral("/proc/%1/cmdline").arg(pid);
    QByteArray line; // a new program's appears a moment after the parent goes on
    for (QDeadlineTimer deadline(30000); line.isEmpty() && !deadline.hasExpired(); QThread::msleep(5)) {
        QFile file(proc);
        line = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    EXPECT_EQ(line,
              converter.toUtf8() + '\0' + kConverterAccessArgument + '\0' + output.path().toUtf8() + '\0');
    window->close();
    EXPECT_FALSE(QFile::exists(proc) && ::kill(pid_t(pid), SIGKILL) == 0) << "still there (ended now)";
}

} // namespace
