// Starts a stand-in converter (a copy of fake_converter named Tessora.dll) as real processes.
#include "launcher/ConverterLauncher.h"

#include "launcher/ConverterAccess.h"
#include "support/QtPrinting.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
using namespace quillet;

namespace {

struct LoggedRun
{
    qint64 pid = 0;
    QStringList arguments;
};

class ConverterLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_programFolder = m_dir.filePath(QStringLiteral("program folder"));
        ASSERT_TRUE(QDir().mkpath(m_programFolder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(FAKE_CONVERTER_PATH),
                                QDir(m_programFolder).filePath(QString::fromLatin1(kConverterFileName))));
        m_logPath = m_dir.filePath(QStringLiteral("runs.log"));
        qputenv("QUILLET_FAKE_CONVERTER_LOG", QFile::encodeName(m_logPath));
        qunsetenv("QUILLET_FAKE_CONVERTER_EXIT");
    }

    void TearDown() override
    {
        for (const auto& converter : m_launcher.started())
            converter->stop(5000);
        qunsetenv("QUILLET_FAKE_CONVERTER_LOG");
        qunsetenv("QUILLET_FAKE_CONVERTER_EXIT");
    }

    // The runs the stand-in has logged, once there are `count` of them.
    QList<LoggedRun> waitForRuns(int count)
    {
        QDeadlineTimer deadline(60000);
        QList<QByteArray> lines;
        while (!deadline.hasExpired()) {
            QFile log(m_logPath);
            if (log.open(QIODevice::ReadOnly)) {
                lines = log.readAll().split('\n');
                lines.removeAll(QByteArray());
                if (lines.size() >= count)
                    break;
            }
            QThread::msleep(20);
        }
        QList<LoggedRun> runs;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.split('\x1f');
            LoggedRun run;
            run.pid = fields.value(0).toLongLong();
            EXPECT_EQ(fields.value(1).toInt(), fields.size() - 2);
            for (int i = 2; i < fields.size(); ++i)
                run.arguments << QString::fromLocal8Bit(fields[i]);
            runs << run;
        }
        return runs;
    }

    QTemporaryDir m_dir;
    QString m_programFolder;
    QString m_logPath;
    ConverterLauncher m_launcher;
};

const QString kAccess = QString::fromLatin1(kConverterAccessArgument);

} // namespace

TEST_F(ConverterLauncherTest, PassesAccessAndOutputFolderAsTwoArguments)
{
    const QString withBlanks = QStringLiteral("/tmp/my output pictures");
    ASSERT_TRUE(m_launcher.launch(m_programFolder, withBlanks));
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QString()));

    // The two may log in either order: match them by process id.
    QHash<qint64, QStringList> argumentsByPid;
    for (const LoggedRun& run : waitForRuns(2))
        argumentsByPid.insert(run.pid, run.arguments);
    ASSERT_EQ(m_launcher.started().size(), 2u);
    EXPECT_EQ(argumentsByPid.value(m_launcher.started()[0]->pid()), (QStringList{kAccess, withBlanks}));
    EXPECT_EQ(argumentsByPid.value(m_launcher.started()[1]->pid()), (QStringList{kAccess, QString()}));
    EXPECT_EQ(m_launcher.newestPid(), m_launcher.started()[1]->pid());
}

TEST_F(ConverterLauncherTest, CloseStopsOnlyTheConverterStartedLast)
{
    EXPECT_EQ(m_launcher.newestPid(), 0);
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("a")));
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("b")));
    waitForRuns(2);
    ASSERT_EQ(m_launcher.started().size(), 2u);
    ChildProcess& first = *m_launcher.started()[0];
    ChildProcess& second = *m_launcher.started()[1];
    ASSERT_TRUE(first.isRunning());
    ASSERT_TRUE(second.isRunning());

    m_launcher.stopNewest();

    EXPECT_FALSE(second.isRunning());
    EXPECT_EQ(second.endSignal(), SIGTERM);
    EXPECT_TRUE(first.isRunning());
}

TEST_F(ConverterLauncherTest, AConverterThatEndedIsLeftAloneAndOlderOnesToo)
{
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("a")));
    qputenv("QUILLET_FAKE_CONVERTER_EXIT", "1");
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("b")));
    waitForRuns(2);
    ChildProcess& running = *m_launcher.started()[0];
    ChildProcess& ended = *m_launcher.started()[1];
    ASSERT_TRUE(ended.waitForEnd(60000));

    m_launcher.stopNewest();

    EXPECT_EQ(ended.exitStatus(), 0);
    EXPECT_EQ(ended.endSignal(), 0);
    EXPECT_TRUE(running.isRunning());
}

TEST_F(ConverterLauncherTest, EndedConvertersAreForgottenAtTheNextStart)
{
    qputenv("QUILLET_FAKE_CONVERTER_EXIT", "1");
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("a")));
    waitForRuns(1);
    ASSERT_TRUE(m_launcher.started().back()->waitForEnd(60000));
    qunsetenv("QUILLET_FAKE_CONVERTER_EXIT");
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("b")));
    const QList<LoggedRun> runs = waitForRuns(2);
    ASSERT_EQ(m_launcher.started().size(), 1u);
    EXPECT_EQ(m_launcher.newestPid(), runs.value(1).pid);
}

TEST_F(ConverterLauncherTest, AStartThatFailsChangesNothing)
{
    ASSERT_TRUE(m_launcher.launch(m_programFolder, QStringLiteral("a")));
    const qint64 pid = m_launcher.newestPid();

    EXPECT_FALSE(m_launcher.launch(m_dir.filePath(QStringLiteral("no such folder")), QStringLiteral("b")));

    const QString notExecutable = m_dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(QDir().mkpath(notExecutable));
    QFile file(QDir(notExecutable).filePath(QString::fromLatin1(kConverterFileName)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(m_launcher.launch(notExecutable, QStringLiteral("c")));

    EXPECT_EQ(m_launcher.newestPid(), pid);
    EXPECT_EQ(m_launcher.started().size(), 1u);
    EXPECT_TRUE(m_launcher.started().back()->isRunning());
}

TEST_F(ConverterLauncherTest, StopWithNothingStartedDoesNothing)
{
    m_launcher.stopNewest();
    EXPECT_EQ(m_launcher.newestPid(), 0);
    EXPECT_TRUE(m_launcher.started().empty());
}
