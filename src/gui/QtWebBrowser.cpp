#include "gui/QtWebBrowser.h"

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineView>

// The bundled page lives in a static library: its resources must be registered by hand.
static void registerBundledPages()
{
    Q_INIT_RESOURCE(app);
}

namespace quillet {

namespace {
const QString OfflinePage = QStringLiteral(":/quillet/offline.html");
} // namespace

QtWebBrowser::QtWebBrowser(QWidget* parent) : WebBrowser(parent)
{
    registerBundledPages();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QtWebBrowser::~QtWebBrowser() = default;

void QtWebBrowser::Navigate(const QUrl& address)
{
    m_offlinePageShown = false;
    if (m_view)
        m_view->load(address);
    else
        m_pending = address;
}

bool QtWebBrowser::event(QEvent* event)
{
    // The first paint means the window is on screen: only now start the web engine.
    if (event->type() == QEvent::Paint && !m_view && !m_creationScheduled) {
        m_creationScheduled = true;
        QTimer::singleShot(0, this, &QtWebBrowser::createView);
    }
    return WebBrowser::event(event);
}

void QtWebBrowser::createView()
{
    m_view = new QWebEngineView(this);
    layout()->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadFinished, this, &QtWebBrowser::onLoadFinished);
    if (!m_pending.isEmpty())
        m_view->load(m_pending);
    m_pending.clear();
    emit viewCreated();
}

void QtWebBrowser::onLoadFinished(bool ok)
{
    if (ok || m_offlinePageShown)
        return;
    QFile page(OfflinePage);
    if (!page.open(QIODevice::ReadOnly))
        return;
    m_offlinePageShown = true;
    m_view->setHtml(QString::fromUtf8(page.readAll()), QUrl(QStringLiteral("qrc:/quillet/")));
}

} // namespace quillet
