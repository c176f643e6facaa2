// The web panel on the real Qt WebEngine: the page request at start-up and the bundled page
// shown when the product page cannot be loaded. A local server stands in for the web host.

#include "gui/MainWindow.h"
#include "gui/QtWebBrowser.h"
#include "gui/WebPanelPage.h"
#include "support/FakeOffice.h"
#include "support/ScriptedDialogs.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace quillet::testing {
namespace {

constexpr int Deadline = 60000; // the web engine's first start is slow on a loaded machine

// Answers every request with a small page and keeps the request heads it saw.
class ProductPageServer : public QTcpServer
{
public:
    QList<QByteArray> requests;

    ProductPageServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray head = socket->readAll();
                    requests << head;
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
                                  "<html><body>product page</body></html>");
                    socket->disconnectFromHost();
                });
            }
        });
    }
};

QString pageText(QWebEngineView* view)
{
    QString text;
    bool done = false;
    view->page()->toPlainText([&](const QString& t) {
        text = t;
        done = true;
    });
    QTest::qWaitFor([&] { return done; }, Deadline);
    return text;
}

TEST(WebPanel, AsksTheHostForTheProductPageWithTheVersionOnce)
{
    ProductPageServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    FakeOffice office;
    ScriptedDialogs dialogs;
    MainWindow window(office, dialogs, {}, QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
    ASSERT_TRUE(window.Form_Load());
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests.isEmpty(); }, Deadline));
    const QList<QByteArray> lines = server.requests.first().split('\n');
    EXPECT_EQ(lines.first().trimmed(), "GET /soft/Quillet.aspx?VER=" + AppVersion.toLatin1() + " HTTP/1.1");
    EXPECT_TRUE(server.requests.first().contains(QByteArray("Host: 127.0.0.1:") +
                                                 QByteArray::number(server.serverPort())));

    auto* browser = window.findChild<QtWebBrowser*>("WebBrowser1");
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pageText(browser->view()).contains("product page"); }, Deadline));
    // Hiding and showing the panel neither reloads nor stops the page.
    window.findChild<QPushButton*>("CmdHide")->click();
    window.findChild<QPushButton*>("CmdHelp")->click();
    QTest::qWait(200);
    int pageRequests = 0;
    for (const QByteArray& request : server.requests)
        pageRequests += request.startsWith("GET /soft/Quillet.aspx") ? 1 : 0;
    EXPECT_EQ(pageRequests, 1);
}

TEST(WebPanel, ShowsTheBundledPageWhenTheHostCannotBeReached)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close(); // nothing listens there any more: the connection is refused

    FakeOffice office;
    ScriptedDialogs dialogs;
    MainWindow window(office, dialogs, {}, QStringLiteral("127.0.0.1:%1").arg(port));
    ASSERT_TRUE(window.Form_Load());
    window.show();
    auto* browser = window.findChild<QtWebBrowser*>("WebBrowser1");
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser->view() != nullptr; }, Deadline));
    QString text;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            text = pageText(browser->view());
            return text.contains(QStringLiteral("批量文档转图片"));
        },
        Deadline))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Quillet"));
    EXPECT_TRUE(text.contains(AppVersion));
}

} // namespace
} // namespace quillet::testing
