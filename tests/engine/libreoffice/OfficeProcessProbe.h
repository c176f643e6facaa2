#pragma once

// What the tests look at to prove that no office is left behind: the live members of a process
// group (zombies waiting to be reaped do not count) and the profile folder.

#include <QList>
#include <QString>
#include <chrono>

namespace quillet::testing {

// Live (not zombie) processes whose process group is `group`.
QList<qint64> liveProcessesInGroup(qint64 group);

// Waits up to `timeout` until the group has no live member; true when it has none.
bool waitUntilGroupGone(qint64 group, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Waits up to `timeout` until `path` does not exist; true when it is gone.
bool waitUntilPathGone(const QString& path, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Resident memory of the group's live members together, in kB.
qint64 groupResidentKb(qint64 group);

// Sends `signal` to every member of the group.
void signalGroup(qint64 group, int signal);

} // namespace quillet::testing
