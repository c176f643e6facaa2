// Stands in for the picture converter in launch tests: appends one line with its pid and its
// arguments to the file named by QUILLET_FAKE_CONVERTER_LOG, then waits to be stopped (or ends at
// once when QUILLET_FAKE_CONVERTER_EXIT is set).
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* logPath = std::getenv("QUILLET_FAKE_CONVERTER_LOG");
    if (logPath) {
        FILE* log = std::fopen(logPath, "a");
        if (!log)
            return 1;
        // Fields are separated by 0x1f so that blanks and empty arguments stay visible.
        std::fprintf(log, "%ld\x1f%d", static_cast<long>(getpid()), argc - 1);
        for (int i = 1; i < argc; ++i)
            std::fprintf(log, "\x1f%s", argv[i]);
        std::fprintf(log, "\n");
        std::fclose(log);
    }
    if (std::getenv("QUILLET_FAKE_CONVERTER_EXIT"))
        return 0;
    for (;;)
        pause();
}
