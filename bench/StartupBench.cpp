// Start-up to a shown main window, beside a bare window of the same size shown in the same run.
// Usage: bench_startup [rounds]   (QT_QPA_PLATFORM=offscreen works; a real display too)

#include "dialogs/QtDialogs.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "gui/MainWindow.h"
#include "gui/QtWebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>

namespace {

double ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double bareWindowShown(QSize size)
{
    QElapsedTimer timer;
    timer.start();
    QWidget bare;
    bare.resize(size);
    bare.show();
    QTest::qWaitForWindowExposed(&bare);
    QApplication::processEvents();
    return ms(timer);
}

struct MainWindowTimes
{
    double formLoad = 0;
    double painted = -1; // the whole window painted: the web panel is painted last
    double shown = 0;    // exposed and every event handled, web view creation included
    double webViewReady = -1;
};

// Notes the time of a widget's first paint.
class FirstPaint : public QObject
{
public:
    FirstPaint(const QElapsedTimer& timer, double& at) : m_timer(timer), m_at(at) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_at < 0)
            m_at = ms(m_timer);
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_timer;
    double& m_at;
};

MainWindowTimes mainWindowShown(quillet::OfficeEngine& engine)
{
    MainWindowTimes times;
    quillet::QtDialogs dialogs;
    QElapsedTimer timer;
    timer.start();
    quillet::MainWindow window(engine, dialogs);
    if (!window.Form_Load()) {
        std::fprintf(stderr, "start-up ended: no office engine\n");
        std::exit(1);
    }
    times.formLoad = ms(timer);
    FirstPaint firstPaint(timer, times.painted);
    auto* browser = window.findChild<quillet::QtWebBrowser*>(QStringLiteral("WebBrowser1"));
    browser->installEventFilter(&firstPaint);
    window.show();
    QTest::qWaitForWindowExposed(&window);
    QApplication::processEvents();
    times.shown = ms(timer);

    QElapsedTimer deadline;
    deadline.start();
    while (browser && !browser->view() && deadline.elapsed() < 30000)
        QTest::qWait(1);
    if (browser && browser->view())
        times.webViewReady = ms(timer);
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    const double appCreated = ms(sinceStart);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    quillet::lo::LibreOfficeEngine engine;
    std::printf("platform %s, QApplication created in %.1f ms\n", qPrintable(QGuiApplication::platformName()),
                appCreated);
    std::printf("(ms from the widget's construction; \"shown\" waits until the window is exposed and its\n"
                " events are handled, which includes making the web view after the first paint)\n");
    std::printf("%-6s %14s %14s %14s %14s %14s\n", "round", "bare shown", "main painted", "of it Form_Load",
                "main shown", "web view made");
    for (int round = 1; round <= rounds; ++round) {
        const QSize size(871, 572);
        const double bare = bareWindowShown(size);
        const MainWindowTimes main = mainWindowShown(engine);
        std::printf("%-6d %14.1f %14.1f %14.1f %14.1f %14.1f\n", round, bare, main.painted, main.formLoad,
                    main.shown, main.webViewReady);
    }
    return 0;
}
