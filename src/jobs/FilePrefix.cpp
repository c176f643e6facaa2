#include "jobs/FilePrefix.h"

#include "engine/EngineError.h"

#include <QDir>
#include <QFileInfo>

namespace quillet {

QChar PathSeparator()
{
    return QDir::separator();
}

bool MakeOutputFolder(const QString& folder)
{
    return QFileInfo(folder).isDir() || QDir().mkdir(folder);
}

QString GetFilePrefix(const QString& path)
{
    const qsizetype separator = path.lastIndexOf(PathSeparator()); // -1 when none
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype length = dot - separator - 1;
    if (dot < 0 || length < 0) {
        throw EngineError(ErrorNumber::InvalidArgument,
                          QStringLiteral("无效的过程调用或参数：路径“%1”没有文件扩展名。").arg(path));
    }
    return path.mid(separator + 1, length);
}

namespace {

QString OutputName(const QString& outputFolder, const QString& documentPath, const QString& number,
                   const QString& extension)
{
    return outputFolder + GetFilePrefix(documentPath) + QLatin1Char('-') + number + extension;
}

} // namespace

QString OutputFileName(const QString& outputFolder, const QString& documentPath, int number,
                       const QString& extension)
{
    return OutputName(outputFolder, documentPath, QString::number(number), extension);
}

QString OutputNamesPattern(const QString& outputFolder, const QString& documentPath, const QString& extension)
{
    return OutputName(outputFolder, documentPath, QStringLiteral("*"), extension);
}

} // namespace quillet
