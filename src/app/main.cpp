// Quillet's entry: with any argument ("quillet convert ...") the command line, without a window or a
// display; without arguments one copy per user, the main window's start-up, then the event loop.

#include "cli/CommandLine.h"
#include "dialogs/QtDialogs.h"
#include "dialogs/QtProgramSetup.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "gui/MainWindow.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <optional>
#include <unistd.h>

namespace {

void allowWebEngineAsRoot()
{
    // Chromium's sandbox refuses to run as root; it stays on for everyone else.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

int main(int argc, char** argv)
{
    if (quillet::IsCommandLineInvocation(argc, argv)) {
        std::optional<quillet::lo::LibreOfficeEngine> engine;
        return quillet::RunCommandLine(
            argc, argv, [&engine](const quillet::pdfpages::PageStyle& pages) -> quillet::OfficeEngine& {
                quillet::lo::SessionSettings settings;
                settings.pageStyle = pages;
                return engine.emplace(settings);
            });
    }

    allowWebEngineAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const quillet::QtProgramSetup qtSetup;

    // A second copy ends at once, silently.
    quillet::SingleInstance instance;
    if (!instance.acquire())
        return 0;

    quillet::lo::LibreOfficeEngine engine;
    quillet::QtDialogs dialogs;
    quillet::MainWindow window(engine, dialogs);
    dialogs.setOwner(&window);
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
