#pragma once

// A web panel browser for window tests: records the addresses it is told to load.

#include "gui/WebBrowser.h"

#include <QList>
#include <QUrl>

namespace quillet::testing {

class RecordingBrowser : public WebBrowser
{
    Q_OBJECT
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl& address) override { requests << address; }

    QList<QUrl> requests;
};

} // namespace quillet::testing
