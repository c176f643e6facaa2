#pragma once

// A program this process started and still holds a handle on. The handle is a Linux pid file
// descriptor, so a signal can only ever reach that very process: once it has ended, its number may
// be given to another process, but the descriptor keeps pointing at the ended one.

#include <QString>
#include <QStringList>
#include <memory>

namespace quillet {

class ChildProcess
{
public:
    // Starts program with arguments as separate argv entries (no shell), without waiting for it.
    // The child gets the default signal dispositions and an empty signal mask. Returns null when
    // the program cannot be started (missing, not executable...).
    static std::unique_ptr<ChildProcess> start(const QString& program, const QStringList& arguments);

    // Closes the handle only: the process runs on.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    qint64 pid() const { return m_pid; }

    // True while the process has not ended. An ended process is reaped here, so it does not stay
    // behind as a zombie.
    bool isRunning();

    // Ends the process if it is still running: asks it to quit (SIGTERM) so it can stop what it
    // started itself, and kills it (SIGKILL) if it has not ended after graceMs. Returns once the
    // process has ended and has been reaped. No effect on a process that has already ended.
    void stop(int graceMs);

    // Waits up to timeoutMs for the process to end by itself. Returns true when it has ended.
    bool waitForEnd(int timeoutMs);

    // The exit status after the process ended normally; -1 while running or after a signal.
    int exitStatus() const { return m_exitStatus; }
    // The signal that ended the process; 0 while running or after a normal exit.
    int endSignal() const { return m_endSignal; }

private:
    ChildProcess(int pidFd, qint64 pid);
    void reap();

    int m_pidFd = -1;
    qint64 m_pid = 0;
    bool m_ended = false;
    int m_exitStatus = -1;
    int m_endSignal = 0;
};

} // namespace quillet
