#pragma once

#include <functional>

namespace quillet {

class OfficeEngine;

namespace pdfpages {
struct PageStyle;
}

// The engine a job runs on, made for the page pictures the command line asks for. The maker keeps
// the engine; it is asked once, for the job's start.
using EngineMaker = std::function<OfficeEngine&(const pdfpages::PageStyle& pages)>;

// Whether the program's arguments ask for the command line rather than the window.
bool IsCommandLineInvocation(int argc, char** argv);

// "quillet convert|extract|--help|--version ...": runs a job without a window or a display (a
// QCoreApplication only, no single-instance lock) and returns the exit status: 0 every document
// done, 1 some failed or not processed, 2 a usage error, an output folder that cannot be used, no
// documents or an office that cannot start at all, 128 + the signal when stopped by SIGINT or SIGTERM.
int RunCommandLine(int argc, char** argv, const EngineMaker& makeEngine);

} // namespace quillet
