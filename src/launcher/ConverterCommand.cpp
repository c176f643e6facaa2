#include "launcher/ConverterCommand.h"

#include "launcher/ConverterAccess.h"

#include <QDir>

namespace quillet {

ConverterCommand converterCommand(const QString& programFolder, const QString& outputFolderText)
{
    ConverterCommand command;
    command.program = QDir(programFolder).filePath(QString::fromLatin1(kConverterFileName));
    command.arguments = {QString::fromLatin1(kConverterAccessArgument), outputFolderText};
    return command;
}

} // namespace quillet
