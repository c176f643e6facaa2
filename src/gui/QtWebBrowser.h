#pragma once

#include "gui/WebBrowser.h"

class QWebEngineView;

namespace quillet {

// The web panel's browser on Qt WebEngine. Starting the web engine takes longer than showing the
// whole window, so the view is made only after the panel has been painted once; an address asked
// for before that is loaded as soon as the view exists. When the page cannot be loaded the panel
// shows a page bundled with the program instead of the engine's error page.
class QtWebBrowser : public WebBrowser
{
    Q_OBJECT
public:
    explicit QtWebBrowser(QWidget* parent = nullptr);
    ~QtWebBrowser() override;

    void Navigate(const QUrl& address) override;

    // The engine's view; null until the panel has been shown.
    QWebEngineView* view() const { return m_view; }

signals:
    void viewCreated();

protected:
    bool event(QEvent* event) override;

private:
    void createView();
    void onLoadFinished(bool ok);

    QWebEngineView* m_view = nullptr;
    QUrl m_pending;
    bool m_creationScheduled = false;
    bool m_offlinePageShown = false;
};

} // namespace quillet
