// The main window's picture-format button and its close, with the real converter beside the test
// program (both are built into the same bin folder).
#include "MainWindowFixture.h"
#include "gui/StartupDefaults.h"
#include "launcher/ConverterAccess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace quillet;

namespace {

QStringList commandLineOf(qint64 pid)
{
    // The parent goes on while the new program is still being loaded: its command line appears a
    // moment later.
    QByteArray bytes;
    for (QDeadlineTimer deadline(30000); bytes.isEmpty() && !deadline.hasExpired(); QThread::msleep(5)) {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        bytes = file.readAll();
    }
    bytes.chop(1);
    QStringList entries;
    for (const QByteArray& entry : bytes.split('\0'))
        entries << QString::fromLocal8Bit(entry);
    return entries;
}

// 'R', 'S'...; 'Z' for an ended, unreaped process; 0 when there is no such process.
char stateOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = file.readAll();
    const int afterName = stat.lastIndexOf(')');
    return afterName < 0 ? 0 : stat.at(afterName + 2);
}

class MainWindowHandoffTest : public quillet::testing::MainWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(QDir(programFolder()).filePath(QString::fromLatin1(kConverterFileName))));
        makeWindow();
    }
};

} // namespace

// Each click starts a converter on the output folder as typed (blanks kept, one argument); the close
// stops only the newest.
TEST_F(MainWindowHandoffTest, TwoClicksStartTwoConvertersAndTheCloseStopsTheSecond)
{
    QTemporaryDir output(QDir::tempPath() + QStringLiteral("/my pictures-XXXXXX"));
    box("txtOutDir")->setText(output.path());
    button("Command3")->click();
    const qint64 first = window->ConverterPid();
    ASSERT_GT(first, 0);
    box("txtOutDir")->clear();
    button("Command3")->click();
    const qint64 second = window->ConverterPid();
    ASSERT_GT(second, 0);
    ASSERT_NE(second, first);
    EXPECT_EQ(commandLineOf(first), (QStringList{QDir(programFolder()).filePath(QStringLiteral("Tessora.dll")),
                                                 QString::fromLatin1(kConverterAccessArgument), output.path()}));
    EXPECT_EQ(commandLineOf(second).value(2, "missing"), "");

    window->close();
    EXPECT_EQ(stateOf(second), 0) << "the newest converter is still there";
    EXPECT_NE(stateOf(first), 0);
    EXPECT_NE(stateOf(first), 'Z') << "the older converter was stopped too";
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // Still our unreaped child, so the number is still that converter's.
    ::kill(static_cast<pid_t>(first), SIGTERM);
    ::waitpid(static_cast<pid_t>(first), nullptr, 0);
}
