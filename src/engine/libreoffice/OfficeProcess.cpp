#include "engine/libreoffice/OfficeProcess_p.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quillet::lo {

namespace {

// Reads the group id, then waits for end of input: our program finished it normally (and killed
// this guardian first) or ended without doing so, in which case the group and folder must go.
constexpr char guardianScript[] =
    "trap '' HUP INT TERM QUIT PIPE\n"
    "read -r group\n"
    "read -r _\n"
    "case \"$group\" in ''|*[!0-9]*) ;; *) kill -9 \"-$group\" 2>/dev/null ;; esac\n"
    "rm -rf -- \"$1\"\n"
    "rm -f -- \"/tmp/OSL_PIPE_$(id -u)_${1##*/}\"\n";

// Our environment with the system's standard PATH (the office's start script and the guardian call
// standard tools, dirname, rm..., which the user's PATH may not reach) and the entries given.
std::vector<QByteArray> childEnvironment(const QStringList& given)
{
    QByteArray standardPath(static_cast<int>(confstr(_CS_PATH, nullptr, 0)), '\0');
    confstr(_CS_PATH, standardPath.data(), static_cast<size_t>(standardPath.size()));
    standardPath.chop(1); // the terminating NUL
    std::vector<QByteArray> entries{"PATH=" +
                                    (standardPath.isEmpty() ? QByteArray("/usr/bin:/bin") : standardPath)};
    for (const QString& entry : given)
        entries.push_back(entry.toLocal8Bit());
    const auto replaced = [&entries](const char* entry) {
        return std::any_of(entries.begin(), entries.end(), [entry](const QByteArray& ours) {
            return std::strncmp(entry, ours.constData(), static_cast<size_t>(ours.indexOf('=') + 1)) == 0;
        });
    };
    for (char** entry = environ; *entry; ++entry) {
        if (!replaced(*entry))
            entries.emplace_back(*entry);
    }
    return entries;
}

// Spawns `argv` in a new process group with default signal handling, the environment given, stdin
// from `stdinFd` (or /dev/null when -1) and stdout/stderr to /dev/null. Returns 0 and sets *pid on
// success.
int spawnInNewGroup(const std::vector<QByteArray>& argv, const std::vector<QByteArray>& environment,
                    int stdinFd, pid_t* pid)
{
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> args;
    for (const QByteArray& arg : argv)
        args.push_back(const_cast<char*>(arg.constData()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const QByteArray& entry : environment)
        env.push_back(const_cast<char*>(entry.constData()));
    env.push_back(nullptr);
    const int result = posix_spawn(pid, args[0], &actions, &attr, args.data(), env.data());

    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return result;
}

bool hasEnded(pid_t pid)
{
    siginfo_t info{};
    if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return true; // not our child any more
    return info.si_pid == pid;
}

void reap(pid_t pid)
{
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

OfficeProcess::~OfficeProcess()
{
    finish();
}

bool OfficeProcess::start(const QString& program, const QStringList& arguments,
                          const QStringList& environment, const QString& cleanupDir, QString* error)
{
    finish();

    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        *error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    pid_t guardian = 0;
    const std::vector<QByteArray> guardianArgv{"/bin/sh", "-c", guardianScript, "quillet-guardian",
                                               cleanupDir.toLocal8Bit()};
    int result = spawnInNewGroup(guardianArgv, childEnvironment({}), sockets[0], &guardian);
    close(sockets[0]);
    if (result != 0) {
        close(sockets[1]);
        *error = QString::fromLocal8Bit(strerror(result));
        return false;
    }

    std::vector<QByteArray> argv{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        argv.push_back(argument.toLocal8Bit());
    pid_t child = 0;
    result = spawnInNewGroup(argv, childEnvironment(environment), -1, &child);
    if (result != 0) {
        // The guardian sees no group and only removes the folder.
        close(sockets[1]);
        reap(guardian);
        *error = QString::fromLocal8Bit(strerror(result));
        return false;
    }
    const QByteArray line = QByteArray::number(child) + '\n';
    send(sockets[1], line.constData(), line.size(), MSG_NOSIGNAL);

    std::lock_guard lock(m_mutex);
    m_pid = child;
    m_guardian = guardian;
    m_guardianSocket = sockets[1];
    return true;
}

bool OfficeProcess::alive() const
{
    std::lock_guard lock(m_mutex);
    return m_pid != 0 && !hasEnded(m_pid);
}

bool OfficeProcess::waitForExit(std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (alive()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void OfficeProcess::killGroup()
{
    std::lock_guard lock(m_mutex);
    if (m_pid != 0)
        ::kill(-m_pid, SIGKILL);
}

void OfficeProcess::finish()
{
    std::lock_guard lock(m_mutex);
    if (m_pid != 0) {
        // The leader is not reaped yet, so the group id still belongs to it.
        ::kill(-m_pid, SIGKILL);
        reap(m_pid);
        m_pid = 0;
    }
    dismissGuardian();
}

pid_t OfficeProcess::pid() const
{
    std::lock_guard lock(m_mutex);
    return m_pid;
}

void OfficeProcess::dismissGuardian()
{
    if (m_guardian != 0) {
        ::kill(m_guardian, SIGKILL);
        reap(m_guardian);
        m_guardian = 0;
    }
    if (m_guardianSocket >= 0) {
        close(m_guardianSocket);
        m_guardianSocket = -1;
    }
}

} // namespace quillet::lo
