#pragma once

// The embedded browser of the web panel, as the window sees it: a widget that can be told to
// navigate. The real one is Qt WebEngine; tests hand the window a recording one instead.

#include <QUrl>
#include <QWidget>
#include <functional>

namespace quillet {

class WebBrowser : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~WebBrowser() override;

    // Starts loading the address and returns at once; nothing waits for the page.
    virtual void Navigate(const QUrl& address) = 0;
};

// Makes the browser widget as a child of the given frame.
using WebBrowserFactory = std::function<WebBrowser*(QWidget* parent)>;

} // namespace quillet
