// Holds a started office session and waits to be killed: the tests kill this program and check
// that its office and profile go with it.

#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    quillet::lo::LibreOfficeSession session;
    try {
        session.ensureStarted();
    } catch (const quillet::EngineError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%lld %s\n", static_cast<long long>(session.pid()),
                session.profileDir().toLocal8Bit().constData());
    std::fflush(stdout);
    for (;;)
        pause();
}
