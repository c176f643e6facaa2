// Quillet's entry: one copy per user, the main window's start-up, then the event loop.

#include "app/MainWindow.h"
#include "platform/QtDialogs.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <unistd.h>

#if __has_include("convert/libreoffice/LibreOfficeEngine.h")
#include "convert/libreoffice/LibreOfficeEngine.h"
#define QUILLET_HAVE_LIBREOFFICE_ENGINE 1
#else
#include "convert/engine/EngineError.h"
#include "convert/engine/OfficeApplication.h"
#endif

namespace {

#ifndef QUILLET_HAVE_LIBREOFFICE_ENGINE
// Built without an office backend: the program says so at start-up and ends.
class NoOfficeEngine : public quillet::OfficeEngine
{
public:
    std::unique_ptr<quillet::OfficeApplication> CreateApplication() override
    {
        throw quillet::EngineError(quillet::ErrorNumber::EngineUnavailable,
                                   QStringLiteral("没有可用的办公软件引擎"));
    }
};
#endif

void allowWebEngineAsRoot()
{
    // Chromium's sandbox refuses to run as root; it stays on for everyone else.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

int main(int argc, char** argv)
{
    allowWebEngineAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    // A second copy ends at once, silently.
    quillet::SingleInstance instance;
    if (!instance.acquire())
        return 0;

#ifdef QUILLET_HAVE_LIBREOFFICE_ENGINE
    quillet::lo::LibreOfficeEngine engine;
#else
    NoOfficeEngine engine;
#endif
    quillet::QtDialogs dialogs;
    quillet::MainWindow window(engine, dialogs);
    dialogs.setOwner(&window);
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
