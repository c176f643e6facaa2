// Holds a started office session, prints its profile folder and waits to be killed: the tests kill
// this program and check that its office goes with it.

#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <cstdio>
#include <unistd.h>

int main()
{
    quillet::lo::LibreOfficeSession session;
    session.ensureStarted();
    std::printf("%s\n", qPrintable(session.profileDir()));
    std::fflush(stdout);
    for (;;)
        pause();
}
