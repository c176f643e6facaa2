// The main window's picture-format button and its close, with the real converter beside the test
// program (both are built into the same bin folder).
#include "gui/MainWindow.h"
#include "gui/WebBrowser.h"
#include "launcher/ConverterAccess.h"
#include "support/FakeOffice.h"
#include "support/ScriptedDialogs.h"

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

class QuietBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl&) override {}
};

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

class MainWindowHandoffTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(
            QDir(MainWindow::programFolder()).filePath(QString::fromLatin1(kConverterFileName))));
        window = std::make_unique<MainWindow>(office, dialogs,
                                              [](QWidget* parent) { return new QuietBrowser(parent); });
    }

    quillet::testing::FakeOffice office;
    quillet::testing::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(MainWindowHandoffTest, TwoClicksStartTwoConvertersAndTheCloseStopsTheSecond)
{
    QTemporaryDir output(QDir::tempPath() + QStringLiteral("/my pictures-XXXXXX"));
    window->txtOutDir->setText(output.path());

    window->Command3->click();
    const qint64 first = window->ConverterPid;
    ASSERT_GT(first, 0);
    window->Command3->click();
    const qint64 second = window->ConverterPid;
    ASSERT_GT(second, 0);
    ASSERT_NE(second, first);

    EXPECT_EQ(commandLineOf(second),
              (QStringList{QDir(MainWindow::programFolder()).filePath(QStringLiteral("Tessora.dll")),
                           QString::fromLatin1(kConverterAccessArgument), output.path()}));
    EXPECT_NE(stateOf(first), 0);

    window->close();

    EXPECT_EQ(stateOf(second), 0) << "the newest converter is still there";
    EXPECT_NE(stateOf(first), 0);
    EXPECT_NE(stateOf(first), 'Z') << "the older converter was stopped too";
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Still our unreaped child, so the number is still that converter's.
    ::kill(static_cast<pid_t>(first), SIGTERM);
    ::waitpid(static_cast<pid_t>(first), nullptr, 0);
}

TEST_F(MainWindowHandoffTest, AnEmptyOutputFolderIsHandedOnEmpty)
{
    window->txtOutDir->clear();
    window->Command3->click();
    const qint64 pid = window->ConverterPid;
    ASSERT_GT(pid, 0);
    const QStringList command = commandLineOf(pid);
    ASSERT_EQ(command.size(), 3) << command.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(command[2].isEmpty());
    window->close();
    EXPECT_EQ(stateOf(pid), 0);
}

TEST_F(MainWindowHandoffTest, ClosingWithoutAConverterChangesNothing)
{
    EXPECT_EQ(window->ConverterPid, 0);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
