#include "handoff/ConverterCommand.h"

#include "handoff/ConverterAccess.h"

#include <QDir>

namespace quillet {

ConverterCommand converterCommand(const QString& programFolder, const QString& outputFolderText)
{
    ConverterCommand command;
    command.program = QDir(programFolder).filePath(QString::fromLatin1(kConverterFileName));
    command.arguments = {QString::fromLatin1(kConverterAccessArgument), outputFolderText};
    return command;
}

QString windowsConverterCommandLine(const QString& programFolder, const QString& outputFolderText)
{
    return programFolder + QLatin1Char('\\') + QString::fromLatin1(kConverterFileName) + QLatin1Char(' ') +
           QString::fromLatin1(kConverterAccessArgument) + QStringLiteral(" \"") + outputFolderText +
           QLatin1Char('"');
}

} // namespace quillet
