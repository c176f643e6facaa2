// The document list inside the main window: its buttons, a drop from a file manager, the add-folder
// dialog, and the count label that follows them.

#include "MainWindowFixture.h"
#include "gui/FrmPath.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace quillet::testing {
namespace {

class WindowList : public MainWindowTest
{
protected:
    void start(const QString& engineVersion)
    {
        office.setVersion(engineVersion);
        startWindow();
    }
    void click(int index) const { button(QStringLiteral("CmdFileOp_%1").arg(index))->click(); }
    QStringList shownRows() const
    {
        QStringList rows;
        const QAbstractItemModel* model = control<QTreeView>("ListView2")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            rows << model->index(r, 0).data().toString();
        return rows;
    }
};

TEST_F(WindowList, ButtonsFillAndEmptyTheListAndTheCountFollows)
{
    start("16.0");
    dialogs.openFilesAnswers << QStringList{"/docs/b.doc", "/docs/a.docx"};
    click(0);
    EXPECT_EQ(dialogs.openFilesRequests, QStringList({QStringLiteral("新增|Word文件 (*.doc *.docx)")}));
    EXPECT_EQ(shownRows(), QStringList({"/docs/b.doc", "/docs/a.docx"}));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件2项"));

    auto* view = control<QTreeView>("ListView2");
    view->setCurrentIndex(view->model()->index(0, 0));
    click(2);
    EXPECT_EQ(shownRows(), QStringList({"/docs/a.docx"}));
    dialogs.messageAnswers << MessageAnswer::Yes;
    click(3);
    EXPECT_TRUE(shownRows().isEmpty());
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件0项"));
}

TEST_F(WindowList, AnOlderEngineOffersOnlyDocAndACancelLeavesTheLabels)
{
    start("11.0");
    click(0);
    EXPECT_EQ(dialogs.openFilesRequests, QStringList({QStringLiteral("新增|Word文件 (*.doc)")}));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件：0项"));
}

TEST_F(WindowList, FilesDroppedOnTheListAreAdded)
{
    start("16.0");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/in/A.DOC"), QUrl::fromLocalFile("/in/c.docx"),
                  QUrl::fromLocalFile("/in/b.rtf")});
    QWidget* viewport = control<QTreeView>("ListView2")->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(shownRows(), QStringList({"/in/A.DOC", "/in/b.rtf"}));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件2项"));
}

TEST_F(WindowList, AddFolderAsksThroughTheDialogAndSearchesTheTree)
{
    start("16.0");
    QTemporaryDir dir;
    for (const char* name : {"S/b.doc", "a.doc"}) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FrmPath*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->txtFolder->setText(dir.path());
        dialog->ChkSubdir->setChecked(true);
        dialog->CmdOK->click();
    });
    click(1);
    EXPECT_EQ(shownRows(), QStringList({dir.path() + "/a.doc", dir.path() + "/S/b.doc"}));
    EXPECT_EQ(text("lblInput"), QStringLiteral("待处理文件2项"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace quillet::testing
