#include "platform/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace quillet {

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath.isEmpty() ? defaultLockPath() : lockPath))
{
    // A running copy keeps its lock however long it runs; only a dead owner makes a lock stale.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("quillet.lock"));
}

bool SingleInstance::acquire()
{
    if (m_lock->isLocked())
        return true;
    // tryLock removes a lock whose process is gone before trying again.
    return m_lock->tryLock(0);
}

} // namespace quillet
