#include "gui/WebPanel.h"

#include "gui/TwipScale.h"

#include <QGroupBox>
#include <QPushButton>

namespace quillet {

WebPanel::WebPanel(QWidget& window, const MainWindowControls& controls, const TwipScale& twips)
    : QObject(&window), m_window(window), m_c(controls), m_twips(twips)
{
    connect(m_c.CmdHide, &QPushButton::clicked, this, &WebPanel::CmdHide_Click);
    connect(m_c.CmdHelp, &QPushButton::clicked, this, &WebPanel::CmdHelp_Click);
}

void WebPanel::start(const QUrl& page)
{
    m_c.CmdHelp->setVisible(false);
    m_c.WebBrowser1->Navigate(page);
}

int WebPanel::widthInTwips(const QWidget* widget) const
{
    return m_twips.toTwips(widget->width());
}

// A step whose width would be negative (a minimised or very narrow window) is skipped.
void WebPanel::fitToWindow()
{
    // A hidden panel keeps its width for the next showing. (Where window borders are wider than
    // 80 twips the narrowed window makes the width negative anyway; thinner borders would shrink
    // the panel to a sliver on every hide.)
    if (m_c.Frame6->isHidden())
        return;
    const int frameWidth = widthInTwips(&m_window) - m_twips.toTwips(m_c.Frame6->x()) - 50;
    if (frameWidth >= 0)
        m_c.Frame6->resize(m_twips.toPixels(frameWidth), m_c.Frame6->height());
    const int browserWidth = widthInTwips(m_c.Frame6) - 100;
    if (browserWidth >= 0)
        m_c.WebBrowser1->resize(m_twips.toPixels(browserWidth), m_c.WebBrowser1->height());
}

bool WebPanel::setOuterWidthInTwips(int twips)
{
    const int frameExtra = m_window.frameGeometry().width() - m_window.width();
    const int clientWidth = m_twips.toPixels(twips) - frameExtra;
    if (twips <= 0 || clientWidth <= 0)
        return false;
    m_window.resize(clientWidth, m_window.height());
    return true;
}

void WebPanel::CmdHide_Click()
{
    m_c.Frame6->setVisible(false);
    setOuterWidthInTwips(widthInTwips(&m_window) - widthInTwips(m_c.Frame6) + 80);
    m_c.CmdHelp->setVisible(true);
}

void WebPanel::CmdHelp_Click()
{
    if (!m_c.Frame6->isHidden())
        return;
    m_c.Frame6->setVisible(true);
    setOuterWidthInTwips(m_twips.toTwips(m_window.frameGeometry().width()) + widthInTwips(m_c.Frame6) + 80);
}

} // namespace quillet
