// The web panel on the real Qt WebEngine: the page request at start-up and the bundled page shown
// when the product page cannot be loaded. A local server stands in for the web host.

#include "MainWindowFixture.h"
#include "gui/QtWebBrowser.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace quillet;
using namespace quillet::testing;

namespace {

class WebPanel : public MainWindowTest
{
protected:
    // Starts the window on the host 127.0.0.1:port and waits until its panel shows `wanted`;
    // returns what it showed last. The page is asked one question at a time.
    QString startAndWaitFor(quint16 port, const QString& wanted)
    {
        startWindow(QStringLiteral("127.0.0.1:%1").arg(port));
        const auto shown = std::make_shared<QString>();
        const auto asked = std::make_shared<bool>(false);
        (void)QTest::qWaitFor(
            [&] {
                QWebEngineView* view = control<QtWebBrowser>("WebBrowser1")->view();
                if (view && !*asked) {
                    *asked = true;
                    view->page()->toPlainText([=](const QString& text) { *shown = text, *asked = false; });
                }
                return shown->contains(wanted);
            },
            60000); // the web engine's first start is slow on a loaded machine
        return *shown;
    }
};

TEST_F(WebPanel, AsksTheHostForTheProductPageWithTheVersionOnce)
{
    QTcpServer server; // answers every request with a small page and keeps the page requests' heads
    QList<QByteArray> requests;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection())
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [&requests, socket] {
                if (const QByteArray head = socket->readAll(); head.startsWith("GET /soft/Quillet.aspx"))
                    requests << head;
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>product page</p>");
                socket->disconnectFromHost();
            });
    });
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ASSERT_TRUE(startAndWaitFor(server.serverPort(), "product page").contains("product page"));
    EXPECT_TRUE(
        requests.first().startsWith("GET /soft/Quillet.aspx?VER=" + AppVersion.toLatin1() + " HTTP/1.1"));
    EXPECT_TRUE(requests.first().contains("Host: 127.0.0.1:" + QByteArray::number(server.serverPort())));
    // Hiding and showing the panel neither reloads nor stops the page.
    button("CmdHide")->click();
    button("CmdHelp")->click();
    QTest::qWait(200);
    EXPECT_EQ(requests.size(), 1);
}

TEST_F(WebPanel, ShowsTheBundledPageWhenTheHostCannotBeReached)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close(); // nothing listens there any more: the connection is refused
    const QString shown = startAndWaitFor(port, QStringLiteral("批量文档转图片"));
    EXPECT_TRUE(shown.contains(QStringLiteral("批量文档转图片")) && shown.contains("Quillet") &&
                shown.contains(AppVersion))
        << shown.toStdString();
}

} // namespace
