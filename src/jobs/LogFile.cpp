#include "jobs/LogFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace quillet {

bool canCreateFilesIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QDir::separator() + QStringLiteral(".quillet-write-test-XXXXXX"));
    return probe.open();
}

bool canWriteFile(const QString& path)
{
    const QFileInfo file(path);
    return file.exists() ? file.isWritable() : canCreateFilesIn(file.path());
}

QString defaultLogPath(const QString& programFolder, const QString& userDataFolder)
{
    const QString beside = programFolder + QDir::separator() + kLogFileName;
    if (canWriteFile(beside))
        return beside;
    QDir().mkpath(userDataFolder);
    return QDir(userDataFolder).filePath(kLogFileName);
}

} // namespace quillet
