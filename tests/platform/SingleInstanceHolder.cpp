// Takes the program's single-instance lock like Quillet does, for the tests: prints "acquired" and
// holds the lock until its input closes, or ends at once, silently, when another copy holds it.

#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    quillet::SingleInstance instance;
    if (!instance.acquire())
        return 0;
    std::printf("acquired\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
