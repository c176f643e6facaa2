#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <mutex>
#include <sys/types.h>

namespace quillet::lo {

// A child program in its own process group, watched by a guardian: a small shell process that kills
// the group and removes a folder when our program ends without finishing the child first (a crash or
// SIGKILL closes the guardian's socket). The leader is never reaped before its group has been
// killed, so its id cannot be recycled while we still signal it.
class OfficeProcess
{
public:
    OfficeProcess() = default;
    ~OfficeProcess(); // finish()

    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Starts `program` with `arguments` and our environment, the system's standard PATH and
    // `environment` ("NAME=value" each) in it; the guardian removes `cleanupDir` when it has to act.
    // Returns false with `error` set when the program cannot be started.
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment,
               const QString& cleanupDir, QString* error);

    // The leader has been started and has not ended.
    bool alive() const;
    // Waits up to `timeout` for the leader to end; true when it has ended (or none runs).
    bool waitForExit(std::chrono::milliseconds timeout) const;
    // SIGKILL to the whole group. Safe from any thread.
    void killGroup();
    // Kills what is left of the group, reaps the leader and dismisses the guardian.
    void finish();

    // Process id of the leader (and id of its group), 0 when none runs.
    pid_t pid() const;

private:
    void dismissGuardian();

    mutable std::mutex m_mutex;
    pid_t m_pid = 0;
    pid_t m_guardian = 0;
    int m_guardianSocket = -1;
};

} // namespace quillet::lo
