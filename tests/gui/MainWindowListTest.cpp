// The document list inside the real main window: buttons, list view, drops and labels.

#include "gui/MainWindow.h"
#include "support/FakeOffice.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class QuietBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl&) override {}
};

struct WindowList : ::testing::Test
{
    FakeOffice office;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    void start(const QString& engineVersion)
    {
        office.setVersion(engineVersion);
        window = std::make_unique<MainWindow>(office, dialogs,
                                              [](QWidget* parent) { return new QuietBrowser(parent); });
        ASSERT_TRUE(window->Form_Load());
    }
    QTreeView* listView() const { return window->findChild<QTreeView*>("ListView2"); }
    QString label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    void click(int index) const
    {
        window->findChild<QPushButton*>(QStringLiteral("CmdFileOp_%1").arg(index))->click();
    }
    QStringList shownRows() const
    {
        QStringList rows;
        const QAbstractItemModel* model = listView()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            rows << model->index(r, 0).data().toString();
        return rows;
    }
};

TEST_F(WindowList, ButtonsFillAndEmptyTheListAndTheCountFollows)
{
    start("16.0");
    EXPECT_EQ(listView()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件"));
    EXPECT_EQ(label("lblInput"), QStringLiteral("待处理文件：0项"));

    dialogs.openFilesAnswers << QStringList{"/docs/b.doc", "/docs/a.docx"};
    click(0);
    EXPECT_EQ(dialogs.openFilesRequests, QStringList({QStringLiteral("新增|Word文件 (*.doc *.docx)")}));
    EXPECT_EQ(shownRows(), QStringList({"/docs/b.doc", "/docs/a.docx"}));
    EXPECT_EQ(window->documentList().entries(), shownRows());
    EXPECT_EQ(label("lblInput"), QStringLiteral("待处理文件2项"));

    listView()->setCurrentIndex(listView()->model()->index(0, 0));
    click(2);
    EXPECT_EQ(shownRows(), QStringList({"/docs/a.docx"}));

    dialogs.messageAnswers << MessageAnswer::Yes;
    click(3);
    EXPECT_TRUE(shownRows().isEmpty());
    EXPECT_EQ(label("lblInput"), QStringLiteral("待处理文件0项"));
    EXPECT_EQ(dialogs.messageTexts(), QStringList({QStringLiteral("确定要清空处理列表吗？")}));
}

TEST_F(WindowList, OlderEngineOffersOnlyDoc)
{
    start("11.0");
    click(0);
    EXPECT_EQ(dialogs.openFilesRequests, QStringList({QStringLiteral("新增|Word文件 (*.doc)")}));
    EXPECT_EQ(label("lblInput"), QStringLiteral("待处理文件：0项")); // cancelled: untouched
}

TEST_F(WindowList, FilesDroppedOnTheListAreAdded)
{
    start("16.0");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/in/A.DOC"), QUrl::fromLocalFile("/in/c.docx"),
                  QUrl::fromLocalFile("/in/b.rtf")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(listView()->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(listView()->viewport(), &drop);
    EXPECT_EQ(shownRows(), QStringList({"/in/A.DOC", "/in/b.rtf"}));
    EXPECT_EQ(label("lblInput"), QStringLiteral("待处理文件2项"));
}

} // namespace
