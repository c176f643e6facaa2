// The layout rule that keeps the web panel fitted, and hiding and showing the panel.

#include "MainWindowFixture.h"

#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace quillet::testing {
namespace {

TEST_F(MainWindowTest, OnlyTheWebPanelFollowsTheWidth)
{
    startWindow();
    QList<QRect> leftColumn;
    for (QWidget* w : {(QWidget*)window->Frame1, (QWidget*)window->Frame2, (QWidget*)window->Frame3,
                       (QWidget*)window->Frame4, (QWidget*)window->Frame5, (QWidget*)window->ListView2,
                       (QWidget*)window->CmdHide})
        leftColumn << w->geometry();
    const QRect frameBefore = window->Frame6->geometry();
    const QRect browserBefore = window->WebBrowser1->geometry();
    const int columnBefore = window->ListView2->header()->sectionSize(0);

    for (int clientTwips : {16000, 14000, 11000}) {
        window->resize(pixels(clientTwips), window->height());
        const int client = twips(window->width());
        const int frameRight = twips(window->Frame6->geometry().right() + 1);
        const int browserRight = twips(window->Frame6->x() + window->WebBrowser1->geometry().right() + 1);
        EXPECT_NEAR(client - frameRight, 50, 2 * onePixel()) << clientTwips;
        EXPECT_NEAR(client - browserRight, 90, 2 * onePixel()) << clientTwips;
        EXPECT_EQ(window->Frame6->height(), frameBefore.height());
        EXPECT_EQ(window->Frame6->pos(), frameBefore.topLeft());
        EXPECT_EQ(window->WebBrowser1->pos(), browserBefore.topLeft());
        EXPECT_EQ(window->WebBrowser1->height(), browserBefore.height());
        EXPECT_EQ(window->ListView2->header()->sectionSize(0), columnBefore);
        int i = 0;
        for (QWidget* w : {(QWidget*)window->Frame1, (QWidget*)window->Frame2, (QWidget*)window->Frame3,
                           (QWidget*)window->Frame4, (QWidget*)window->Frame5, (QWidget*)window->ListView2,
                           (QWidget*)window->CmdHide})
            EXPECT_EQ(w->geometry(), leftColumn[i++]) << w->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, NegativeWidthsAreSkippedOneByOne)
{
    startWindow();
    // Frame6 would get 10400 - 10320 - 50 = 30 twips: fitted, but the browser's 30 - 100 is skipped.
    const int browserBefore = window->WebBrowser1->width();
    window->resize(pixels(10400), window->height());
    EXPECT_NEAR(twips(window->Frame6->width()), 30, onePixel());
    EXPECT_EQ(window->WebBrowser1->width(), browserBefore);

    // Narrower than the panel's left edge: both widths would be negative; both keep their last value.
    const int frameBefore = window->Frame6->width();
    window->resize(pixels(9000), window->height());
    EXPECT_EQ(window->Frame6->width(), frameBefore);
    EXPECT_EQ(window->WebBrowser1->width(), browserBefore);

    // Widening again fits both.
    window->resize(pixels(13065), window->height());
    EXPECT_NEAR(twips(window->Frame6->width()), 2695, onePixel());
    EXPECT_NEAR(twips(window->WebBrowser1->width()), 2595, 2 * onePixel());
}

TEST_F(MainWindowTest, HideAndShowFollowTheirFormulasOverTwoCycles)
{
    startWindow();
    const int border = twips(window->frameGeometry().width() - window->width());
    for (int cycle = 0; cycle < 2; ++cycle) {
        const int client = twips(window->width());
        const int panel = twips(window->Frame6->width());
        window->CmdHide->click();
        EXPECT_TRUE(window->Frame6->isHidden());
        EXPECT_FALSE(window->CmdHelp->isHidden());
        EXPECT_NEAR(twips(window->frameGeometry().width()), client - panel + 80, onePixel()) << cycle;
        // The hidden panel keeps its width for the next showing.
        EXPECT_NEAR(twips(window->Frame6->width()), panel, onePixel());

        const int outer = twips(window->frameGeometry().width());
        window->CmdHelp->click();
        EXPECT_FALSE(window->Frame6->isHidden());
        EXPECT_FALSE(window->CmdHelp->isHidden());
        EXPECT_NEAR(twips(window->frameGeometry().width()), outer + panel + 80, onePixel()) << cycle;
        // Each cycle drifts by 160 twips less the border, as designed.
        EXPECT_NEAR(twips(window->width()), client + 160 - border, 2 * onePixel()) << cycle;
    }
}

TEST_F(MainWindowTest, HelpWhileThePanelIsShownChangesNothing)
{
    startWindow();
    window->CmdHide->click();
    window->CmdHelp->click();
    const QRect before = window->geometry();
    window->CmdHelp->click();
    EXPECT_EQ(window->geometry(), before);
    EXPECT_FALSE(window->Frame6->isHidden());
}

TEST_F(MainWindowTest, FirstShowIsCentred)
{
    startWindow();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_NEAR(window->frameGeometry().center().x(), screen.center().x(), 1);
    EXPECT_NEAR(window->frameGeometry().center().y(), screen.center().y(), 1);
}

TEST_F(MainWindowTest, ExitClosesTheWindow)
{
    startWindow();
    ASSERT_TRUE(window->isVisible());
    window->CmdExit->click();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace quillet::testing
