#include "gui/DocumentListPanel.h"

#include "doclist/DocumentList.h"
#include "gui/FrmPath.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Panel : ::testing::Test
{
    QWidget window;
    QTreeView* view = new QTreeView(&window);
    QLabel* lblInput = new QLabel(QStringLiteral("待处理文件：0项"), &window);
    QLabel* lblProcessing = new QLabel(&window);
    DocumentList list;
    ScriptedDialogs dialogs;
    DocumentListPanel panel{list, dialogs, view, lblInput, lblProcessing, &window};

    QStringList shownRows() const
    {
        QStringList rows;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            rows << view->model()->index(r, 0).data().toString();
        return rows;
    }

    // Delivers a drop onto the list view as a file manager would.
    bool drop(const QMimeData& data)
    {
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &dropEvent);
        return dropEvent.isAccepted();
    }
};

QMimeData* files(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

TEST_F(Panel, TheViewShowsTheListUnderOneHeading)
{
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件"));
    list.AddToList("/a.doc");
    list.AddToList("/b.doc");
    EXPECT_EQ(shownRows(), QStringList({"/a.doc", "/b.doc"}));
    EXPECT_TRUE(view->acceptDrops());
}

TEST_F(Panel, DroppedFilesAreFilteredAndCounted)
{
    std::unique_ptr<QMimeData> data(
        files({"/in/A.DOC", "/in/b.rtf", "/in/c.docx", "/in/d.txt", "/in/b.rtf"}));
    EXPECT_TRUE(drop(*data));
    EXPECT_EQ(shownRows(), QStringList({"/in/A.DOC", "/in/b.rtf"}));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件2项"));

    QMimeData text;
    text.setText("/in/e.doc");
    EXPECT_FALSE(drop(text));
    EXPECT_EQ(list.count(), 2);
}

TEST_F(Panel, RemoveTakesTheSelectedRow)
{
    for (const char* p : {"/a.doc", "/b.doc", "/c.doc"})
        list.AddToList(p);
    view->selectionModel()->select(view->model()->index(2, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    panel.commands().CmdFileOp_Click(ListCommands::Remove);
    EXPECT_EQ(shownRows(), QStringList({"/a.doc", "/b.doc"}));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件2项"));
    EXPECT_EQ(lblProcessing->text(), "");

    view->selectionModel()->clearSelection();
    panel.commands().CmdFileOp_Click(ListCommands::Remove);
    EXPECT_EQ(list.count(), 2);
}

TEST_F(Panel, AddFolderAsksThroughTheDialogAndSearchesTheTree)
{
    QTemporaryDir dir;
    for (const char* name : {"S/b.doc", "a.doc"}) {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<FrmPath*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->txtFolder->setText(dir.path());
        d->ChkSubdir->setChecked(true);
        d->CmdOK->click();
    });
    panel.commands().CmdFileOp_Click(ListCommands::AddFolder);
    EXPECT_EQ(shownRows(), QStringList({dir.path() + "/a.doc", dir.path() + "/S/b.doc"}));
    EXPECT_EQ(lblInput->text(), QStringLiteral("待处理文件2项"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait pointer is gone again
}

} // namespace
