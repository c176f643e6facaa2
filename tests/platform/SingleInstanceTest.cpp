// One copy per user: real processes against one lock, including a lock left by a killed copy.

#include "platform/SingleInstance.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <signal.h>

namespace quillet {
namespace {

constexpr int Deadline = 30000;

class SingleInstanceProcesses : public ::testing::Test
{
protected:
    QTemporaryDir runtime; // a private runtime folder, so a Quillet the user runs is not disturbed
    std::vector<std::unique_ptr<QProcess>> started;

    void SetUp() override { ASSERT_TRUE(runtime.isValid()); }
    void TearDown() override
    {
        for (auto& p : started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(Deadline);
            }
        }
    }

    QProcess& start(const QString& program)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted(Deadline));
        started.push_back(std::move(process));
        return *started.back();
    }

    // Starts the holder and waits until it says whether it got the lock.
    QProcess& startHolder() { return start(QStringLiteral(QUILLET_HOLDER)); }

    static bool waitForLine(QProcess& process, const QByteArray& line)
    {
        while (!process.canReadLine()) {
            if (process.state() == QProcess::NotRunning || !process.waitForReadyRead(Deadline))
                return process.canReadLine() && process.readLine().trimmed() == line;
        }
        return process.readLine().trimmed() == line;
    }

    QString lockPath() const { return runtime.filePath("quillet.lock"); }
};

TEST_F(SingleInstanceProcesses, SecondCopyEndsSilentlyAndAKilledCopysLockIsTakenOver)
{
    QProcess& first = startHolder();
    ASSERT_TRUE(waitForLine(first, "acquired"));
    ASSERT_TRUE(QFileInfo::exists(lockPath()));

    // The program itself, started while the first copy runs: no window, no output, status 0.
    QProcess& program = start(QStringLiteral(QUILLET_PROGRAM));
    ASSERT_TRUE(program.waitForFinished(Deadline));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput(), "");
    EXPECT_EQ(program.readAllStandardError(), "");

    QProcess& second = startHolder();
    ASSERT_TRUE(second.waitForFinished(Deadline));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardOutput(), "");

    // A crash leaves the lock file behind; the next copy takes it over.
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(Deadline));
    ASSERT_TRUE(QFileInfo::exists(lockPath()));
    QProcess& next = startHolder();
    EXPECT_TRUE(waitForLine(next, "acquired"));
    next.closeWriteChannel();
    ASSERT_TRUE(next.waitForFinished(Deadline));
    EXPECT_EQ(next.exitCode(), 0);
    // A copy that ends normally leaves no lock.
    EXPECT_FALSE(QFileInfo::exists(lockPath()));
}

TEST(SingleInstance, OneLockPerPathWithinAProcessToo)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("quillet.lock");
    {
        SingleInstance first(path);
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(first.acquire());
        SingleInstance second(path);
        EXPECT_FALSE(second.acquire());
    }
    SingleInstance after(path);
    EXPECT_TRUE(after.acquire());
}

} // namespace
} // namespace quillet
