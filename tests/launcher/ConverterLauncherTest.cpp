// The launcher and the real converter it starts: access argument and folder as two arguments, the
// stop reaching the newest only, which closes cleanly even while asking for a folder; and the refusal.
#include "launcher/ConverterLauncher.h"

#include "converter/ConverterArguments.h"
#include "launcher/ConverterAccess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace quillet;

namespace {

QByteArray procFile(qint64 pid, const char* name)
{
    QFile file(QString("/proc/%1/%2").arg(pid).arg(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits until the converter waits in its event loop with its SIGTERM handler in place.
void waitUntilReadyToStop(ChildProcess& converter)
{
    for (QDeadlineTimer deadline(120000); converter.isRunning() && !deadline.hasExpired();
         QThread::msleep(20)) {
        const QByteArray status = procFile(converter.pid(), "status");
        const qsizetype at = status.indexOf("SigCgt:") + 7;
        const quint64 caught =
            status.mid(at, status.indexOf('\n', at) - at).trimmed().toULongLong(nullptr, 16);
        if ((caught & (1ull << (SIGTERM - 1))) && procFile(converter.pid(), "wchan").contains("poll"))
            return;
    }
}

} // namespace

TEST(ConverterLauncher, StartsTheConverterOnTheFolderAndStopsOnlyTheNewestCleanly)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString programFolder = QFileInfo(CONVERTER_PATH).absolutePath();
    QTemporaryDir dir;
    const QString blanks = dir.filePath("my pictures");
    ASSERT_TRUE(QDir().mkpath(blanks));
    auto launcher = std::make_unique<ConverterLauncher>();
    ASSERT_TRUE(launcher->launch(programFolder, blanks));
    ASSERT_TRUE(launcher->launch(programFolder, QString())); // this one asks for a folder
    ChildProcess& first = *launcher->started()[0];
    ChildProcess& second = *launcher->started()[1];
    for (ChildProcess* converter : {&first, &second}) {
        waitUntilReadyToStop(*converter);
        ASSERT_TRUE(converter->isRunning()) << "ended with status " << converter->exitStatus();
    }
    const QByteArray access = kConverterAccessArgument;
    EXPECT_EQ(procFile(first.pid(), "cmdline"),
              CONVERTER_PATH + ('\0' + access + '\0' + blanks.toUtf8() + '\0'));
    EXPECT_EQ(procFile(second.pid(), "cmdline"), CONVERTER_PATH + ('\0' + access + '\0' + '\0'));
    launcher->stopNewest();
    EXPECT_EQ(second.endSignal(), 0) << "killed instead of closing";
    EXPECT_EQ(second.exitStatus(), 0);
    launcher->stopNewest(); // the newest has ended: the older one is left alone
    EXPECT_FALSE(launcher->launch(dir.filePath("missing"), blanks)); // changes nothing
    EXPECT_EQ(launcher->newestPid(), second.pid());
    EXPECT_TRUE(first.isRunning());
    const pid_t survivor = pid_t(first.pid());
    launcher.reset(); // converters outlive the launcher: a handle that goes does not end its process
    EXPECT_EQ(::waitpid(survivor, nullptr, WNOHANG), 0);
    ::kill(survivor, SIGKILL);
    ::waitpid(survivor, nullptr, 0);
}

TEST(ConverterProgram, AWrongOrMissingAccessArgumentIsRefusedWithStatus2)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString access = kConverterAccessArgument;
    for (const QStringList& arguments : {QStringList{}, QStringList{"/tmp"},
                                         QStringList{access.left(19), "/tmp"}, QStringList{"/tmp", access}}) {
        SCOPED_TRACE(arguments.join('|').toStdString());
        QProcess converter;
        converter.start(CONVERTER_PATH, arguments);
        ASSERT_TRUE(converter.waitForFinished(120000));
        EXPECT_EQ(converter.exitCode(), tessora::kAccessRefusedExitStatus);
        EXPECT_TRUE(converter.readAllStandardError().contains(tessora::accessRefusedMessage().toLocal8Bit()));
    }
}
