// The picture converter: started by the main program with the access argument and a folder.
#include "converter/ConverterArguments.h"
#include "converter/window/ConverterWindow.h"
#include "dialogs/QtDialogs.h"
#include "dialogs/QtProgramSetup.h"
#include "dialogs/UiFont.h"
#include "engine/libreoffice/LibreOfficeEngine.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::tessora;

namespace {

int g_terminationPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_terminationPipe[1], &byte, 1);
}

// The main program stops us with SIGTERM when it closes. The signal is caught from the start, so
// one that comes early is not lost; the window then closes the normal way, finishing the current
// picture and stopping the office we started.
bool catchTermination()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_terminationPipe) != 0)
        return false;
    struct sigaction action
    {
    };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    return true;
}

void closeOnTermination(QWidget& window)
{
    auto* notifier = new QSocketNotifier(g_terminationPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        notifier->setEnabled(false);
        window.close();
        QApplication::quit();
    });
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ConverterArguments parsed = parseConverterArguments(arguments);

    if (!parsed.accessGranted) {
        const QString message = accessRefusedMessage();
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        if (canShowWindows(qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                           qEnvironmentVariable("WAYLAND_DISPLAY"))) {
            QApplication app(argc, argv);
            const QtProgramSetup qtSetup;
            useUiFontEverywhere();
            QtDialogs dialogs;
            dialogs.message(message, MessageIcon::Information, MessageButtons::Ok);
        }
        return kAccessRefusedExitStatus;
    }

    const bool terminationCaught = catchTermination();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessora"));
    const QtProgramSetup qtSetup;
    useUiFontEverywhere();
    QtDialogs dialogs;
    lo::LibreOfficeEngine engine;
    ConverterWindow window(dialogs, engine, startFolder(parsed));
    dialogs.setOwner(&window);
    if (terminationCaught)
        closeOnTermination(window);
    window.show();
    window.raise();
    window.activateWindow();
    // Inside the event loop, so that a stop during the folder question ends the program too.
    QTimer::singleShot(0, &window, [&window] { window.openStartFolder(); });
    return app.exec();
}
