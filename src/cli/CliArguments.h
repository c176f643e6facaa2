#pragma once

#include "pdfpages/PagePictures.h"

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
    std::optional<QString> pages;  // --pages, as typed ("FROM-TO")
    QString logFile;               // --log; empty for the default
    QStringList paths;             // documents and folders, in the order given
    QStringList listFiles;         // --list, in the order given
    int jobs = 1;                  // --jobs
    bool tree = false;             // --tree
    pdfpages::PageStyle pageStyle; // --format and --dpi (convert only)
    QString error;                 // set for a usage error
};

// Whether the arguments ask for the command line: any argument does, since the window takes none.
bool IsCommandLineInvocation(const QStringList& arguments);

// Reads the arguments after the program name. Options may stand anywhere, before the command word
// too, as "--name value" or "--name=value"; "--" ends them.
CliArguments ParseCliArguments(const QStringList& arguments);

// The most offices --jobs may ask for.
constexpr int MaxJobs = 64;

// The synopsis, said with every usage error; the help text starts with it.
QString CliUsageText();
QString CliHelpText();
QString CliVersionText();

} // namespace quillet
