#pragma once

// The web panel on the right of the main window: the product page, hidden with "隐藏" (the window
// narrows) and shown again with "帮助" (it widens), and kept as wide as the window allows.

#include "gui/MainWindowControls.h"

#include <QObject>
#include <QUrl>

namespace quillet {

class TwipScale;

class WebPanel : public QObject
{
    Q_OBJECT
public:
    WebPanel(QWidget& window, const MainWindowControls& controls, const TwipScale& twips);

    // Start-up: "帮助" hidden, the page requested (nothing waits for it).
    void start(const QUrl& page);
    // The panel's part of the layout rule, after every change of the window's width.
    void fitToWindow();

private:
    void CmdHide_Click();
    void CmdHelp_Click();
    int widthInTwips(const QWidget* widget) const;
    // Outer width: the window with its frame. Returns false when the width cannot be set.
    bool setOuterWidthInTwips(int twips);

    QWidget& m_window;
    MainWindowControls m_c;
    const TwipScale& m_twips;
};

} // namespace quillet
