#pragma once

// The command that starts the picture converter on the output folder.

#include <QString>
#include <QStringList>

namespace quillet {

struct ConverterCommand
{
    QString program;       // the converter's full path
    QStringList arguments; // the access argument, then the output folder text as typed
};

// The converter in programFolder, given the access argument and outputFolderText unchanged (it may
// be empty or lack a trailing separator). Each argument is one argv entry, so no quoting is needed.
ConverterCommand converterCommand(const QString& programFolder, const QString& outputFolderText);

} // namespace quillet
