#pragma once

// One copy of the program per user: a lock file in the user's runtime folder. A lock left by a
// copy that crashed names a process that no longer runs and is taken over.

#include <QLockFile>
#include <QString>
#include <memory>

namespace quillet {

class SingleInstance
{
public:
    // lockPath empty: "<runtime folder>/quillet.lock".
    explicit SingleInstance(const QString& lockPath = {});
    ~SingleInstance();

    // True when this is the only copy; the lock is held until this object goes.
    bool acquire();

    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace quillet
