#include "platform/ChildProcess.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quillet {

namespace {

// Through syscall(): glibc 2.36 declares these without C linkage for C++.
int openPidFd(pid_t pid)
{
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

void sendSignal(int pidFd, int signal)
{
    ::syscall(SYS_pidfd_send_signal, pidFd, signal, nullptr, 0);
}

// Waits until the pid descriptor becomes readable (the process ended). timeoutMs < 0: no limit.
bool pollEnded(int pidFd, int timeoutMs)
{
    pollfd entry{pidFd, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0)
            return true;
        if (ready == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::start(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> encoded;
    encoded.reserve(arguments.size() + 1);
    encoded.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& entry : encoded)
        argv.push_back(entry.data());
    argv.push_back(nullptr);

    // The child must not inherit our blocked or ignored signals (it would then not stop on SIGTERM).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0)
        return nullptr;

    // The child is ours and not reaped yet, so its pid cannot have been reused before this call.
    const int pidFd = openPidFd(pid);
    if (pidFd < 0) {
        // Without a handle we could not stop it safely later: do not leave it running unowned.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pidFd, pid));
}

ChildProcess::ChildProcess(int pidFd, qint64 pid) : m_pidFd(pidFd), m_pid(pid) {}

ChildProcess::~ChildProcess()
{
    if (m_pidFd >= 0)
        ::close(m_pidFd);
}

void ChildProcess::reap()
{
    siginfo_t info{};
    int result;
    do {
        result = ::waitid(P_PIDFD, static_cast<id_t>(m_pidFd), &info, WEXITED);
    } while (result < 0 && errno == EINTR);
    m_ended = true;
    if (result != 0)
        return;
    if (info.si_code == CLD_EXITED)
        m_exitStatus = info.si_status;
    else
        m_endSignal = info.si_status;
}

bool ChildProcess::isRunning()
{
    if (m_ended)
        return false;
    if (!pollEnded(m_pidFd, 0))
        return true;
    reap();
    return false;
}

bool ChildProcess::waitForEnd(int timeoutMs)
{
    if (m_ended)
        return true;
    if (!pollEnded(m_pidFd, timeoutMs))
        return false;
    reap();
    return true;
}

void ChildProcess::stop(int graceMs)
{
    if (!isRunning())
        return;
    sendSignal(m_pidFd, SIGTERM);
    if (waitForEnd(graceMs))
        return;
    sendSignal(m_pidFd, SIGKILL);
    waitForEnd(-1);
}

} // namespace quillet
