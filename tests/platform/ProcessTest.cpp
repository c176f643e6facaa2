// Child processes held by a pid file descriptor, and one copy per user: on real processes.
#include "platform/ChildProcess.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;

namespace {

// Whether the process has been reaped: it is no child of ours any more, not even a zombie.
bool reaped(qint64 pid)
{
    return ::waitpid(pid_t(pid), nullptr, WNOHANG) == -1 && errno == ECHILD;
}

} // namespace

// (Its arguments reach the child one argv entry each: see the launcher's test.)
TEST(ChildProcess, StopAsksWithSigtermKillsWhenTheGraceRunsOutAndReapsAlways)
{
    QTemporaryDir dir;
    // The child's script, and the signal that ends it on stop (0: it exits by itself, with status 3).
    // "exec sleep" keeps an ignored disposition; the file says the trap is in place.
    const std::pair<QString, int> cases[] = {{"exit 3", 0},
                                             {": > ready; exec sleep 100", SIGTERM},
                                             {"trap '' TERM; : > ready; exec sleep 100", SIGKILL}};
    for (const auto& [script, signal] : cases) {
        SCOPED_TRACE(script.toStdString());
        QFile::remove(dir.filePath("ready"));
        // Started while we ignore and block SIGTERM: the child must inherit neither.
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGTERM, &ignore, &previous);
        sigset_t term, mask;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &term, &mask);
        auto child = ChildProcess::start("/bin/sh", {"-c", "cd '" + dir.path() + "'; " + script});
        pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        sigaction(SIGTERM, &previous, nullptr);
        ASSERT_TRUE(child);
        if (!signal)
            ASSERT_TRUE(child->waitForEnd(60000));
        while (signal && !QFile::exists(dir.filePath("ready")) && child->isRunning())
            QThread::msleep(10);
        child->stop(signal == SIGKILL ? 200 : 60000); // an ended process is left alone
        EXPECT_EQ(child->endSignal(), signal);
        EXPECT_EQ(child->exitStatus(), signal ? -1 : 3);
        EXPECT_TRUE(reaped(child->pid()));
    }
}

TEST(SingleInstance, ASecondCopyEndsSilentlyAndAKilledCopysLockIsTakenOver)
{
    QTemporaryDir runtime; // a private runtime folder, so a Quillet the user runs is not disturbed
    const QString lock = runtime.filePath("quillet.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork(); // a copy that holds the lock until it is killed
    if (holder == 0) {
        SingleInstance instance(lock);
        if (instance.acquire() && write(ready[1], "1", 1) == 1)
            pause();
        _exit(1);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QProcess program; // the real program: ends silently with status 0, or shows its window
    program.start(QUILLET_PROGRAM, {});
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput() + program.readAllStandardError(), "");

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(SingleInstance(lock).acquire());
}
