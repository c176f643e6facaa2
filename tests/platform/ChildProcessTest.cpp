#include "platform/ChildProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using quillet::ChildProcess;

namespace {

std::unique_ptr<ChildProcess> shell(const QString& script)
{
    return ChildProcess::start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
}

} // namespace

TEST(ChildProcess, ReportsTheExitStatusAndIsReapedOnce)
{
    auto child = shell(QStringLiteral("exit 3"));
    ASSERT_TRUE(child);
    EXPECT_GT(child->pid(), 0);
    ASSERT_TRUE(child->waitForEnd(-1));
    EXPECT_FALSE(child->isRunning());
    EXPECT_EQ(child->exitStatus(), 3);
    EXPECT_EQ(child->endSignal(), 0);
    child->stop(1000); // an ended process is left alone
    EXPECT_EQ(child->exitStatus(), 3);
}

TEST(ChildProcess, AStartThatFailsGivesNoHandle)
{
    EXPECT_FALSE(ChildProcess::start(QStringLiteral("/nonexistent/program"), {}));
    EXPECT_FALSE(ChildProcess::start(QStringLiteral("/etc/hostname"), {})); // not executable
}

TEST(ChildProcess, PassesEachArgumentAsOneEntry)
{
    auto child = ChildProcess::start(QStringLiteral("/bin/sh"),
                                     {QStringLiteral("-c"),
                                      QStringLiteral("[ $# -eq 2 ] && [ \"$1\" = 'a b' ] "
                                                     "&& [ -z \"$2\" ]"),
                                      QStringLiteral("sh"), QStringLiteral("a b"), QString()});
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->waitForEnd(-1));
    EXPECT_EQ(child->exitStatus(), 0);
}

TEST(ChildProcess, StopEndsARunningProcessWithSigtermEvenWhenWeIgnoreIt)
{
    // Our own ignored or blocked signals must not be handed on to the child.
    struct sigaction previous
    {
    };
    struct sigaction ignore
    {
    };
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGTERM, &ignore, &previous);
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);

    auto child = ChildProcess::start(QStringLiteral("/bin/sleep"), {QStringLiteral("100")});

    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    sigaction(SIGTERM, &previous, nullptr);

    ASSERT_TRUE(child);
    EXPECT_TRUE(child->isRunning());
    child->stop(60000);
    EXPECT_FALSE(child->isRunning());
    EXPECT_EQ(child->endSignal(), SIGTERM);
}

TEST(ChildProcess, StopKillsAProcessThatIgnoresSigterm)
{
    QTemporaryDir dir;
    const QString ready = dir.filePath(QStringLiteral("ready"));
    // "exec sleep" keeps the ignored disposition; the file says the trap is in place.
    auto child = shell(QStringLiteral("trap '' TERM; : > '%1'; exec sleep 100").arg(ready));
    ASSERT_TRUE(child);
    while (!QFile::exists(ready) && child->isRunning())
        QThread::msleep(10);
    ASSERT_TRUE(child->isRunning());
    child->stop(200);
    EXPECT_FALSE(child->isRunning());
    EXPECT_EQ(child->endSignal(), SIGKILL);
}

TEST(ChildProcess, DroppingTheHandleLeavesTheProcessRunning)
{
    auto child = ChildProcess::start(QStringLiteral("/bin/sleep"), {QStringLiteral("100")});
    ASSERT_TRUE(child);
    const pid_t pid = static_cast<pid_t>(child->pid());
    child.reset();
    // Still our unreaped child, so this pid cannot belong to anyone else yet.
    EXPECT_EQ(::kill(pid, 0), 0);
    char state = 0;
    FILE* stat = fopen(QStringLiteral("/proc/%1/stat").arg(pid).toLocal8Bit().constData(), "r");
    ASSERT_TRUE(stat);
    ASSERT_EQ(fscanf(stat, "%*d %*s %c", &state), 1);
    fclose(stat);
    EXPECT_NE(state, 'Z');
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}
