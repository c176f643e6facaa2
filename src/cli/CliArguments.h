#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quillet {

// A command line as typed, checked for its form only: the job's own checks judge the values.
struct CliArguments
{
    enum class Action
    {
        Convert,
        Extract,
        Help,
        Version
    };
    Action action = Action::Help;
    QString outputFolder;
    std::optional<QString> pages; // --pages, as typed ("FROM-TO")
    QString logFile;              // --log; empty for the default
    QStringList paths;            // documents and folders, in the order given
    QStringList listFiles;        // --list, in the order given
    int jobs = 1;                 // --jobs
    bool tree = false;            // --tree
    QString error;                // set for a usage error
};

// Arguments that ask for the command line rather than the window: a command word first, or
// --help, -h, --version. Anything else starting with "-" stays the window's (Qt's own options).
bool IsCommandLineInvocation(const QStringList& arguments);

// Reads the arguments after the program name. Options may stand anywhere after the command, as
// "--name value" or "--name=value"; "--" ends them.
CliArguments ParseCliArguments(const QStringList& arguments);

// The most offices --jobs may ask for.
constexpr int MaxJobs = 64;

QString CliHelpText();
QString CliVersionText();

} // namespace quillet
