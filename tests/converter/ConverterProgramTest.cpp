// The real converter program (Tessora.dll): its access check, and its stop by the launcher.
#include "converter/ConverterArguments.h"
#include "launcher/ConverterAccess.h"
#include "launcher/ConverterLauncher.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::tessora;

namespace {

const QString kConverter = QStringLiteral(CONVERTER_PATH);

struct Outcome
{
    int exitStatus = -1;
    QString errors;
};

Outcome runConverter(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(kConverter, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished(-1);
        return {};
    }
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(ConverterProgram, IsNamedTessoraDll)
{
    EXPECT_EQ(QFileInfo(kConverter).fileName(), QString::fromLatin1(kConverterFileName));
    EXPECT_TRUE(QFileInfo(kConverter).isExecutable());
}

TEST(ConverterProgram, AWrongOrMissingAccessArgumentIsRefusedWithStatus2)
{
    const QString access = QString::fromLatin1(kConverterAccessArgument);
    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("/tmp")},
          QStringList{access.left(19), QStringLiteral("/tmp")},
          QStringList{QStringLiteral("wrong-access-argumnt"), QStringLiteral("/tmp")}}) {
        const Outcome outcome = runConverter(arguments);
        EXPECT_EQ(outcome.exitStatus, kAccessRefusedExitStatus)
            << arguments.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(outcome.errors.contains(accessRefusedMessage())) << outcome.errors.toStdString();
    }
}

TEST(ConverterProgram, MessageBoxOnlyWhereSomeoneCanSeeIt)
{
    EXPECT_FALSE(canShowWindows(QStringLiteral("offscreen"), QStringLiteral(":0"), QString()));
    EXPECT_FALSE(canShowWindows(QStringLiteral("minimal"), QStringLiteral(":0"), QString()));
    EXPECT_FALSE(canShowWindows(QString(), QString(), QString()));
    EXPECT_FALSE(canShowWindows(QStringLiteral("xcb"), QString(), QStringLiteral("wayland-0")));
    EXPECT_TRUE(canShowWindows(QString(), QStringLiteral(":0"), QString()));
    EXPECT_TRUE(canShowWindows(QString(), QString(), QStringLiteral("wayland-0")));
    EXPECT_TRUE(canShowWindows(QStringLiteral("xcb"), QStringLiteral(":1"), QString()));
}

TEST(ConverterProgram, StartedByTheLauncherItRunsAndEndsCleanlyWhenStopped)
{
    QTemporaryDir pictures;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ConverterLauncher launcher;
    // With a folder it shows the pictures; without one it is asking for a folder when stopped.
    ASSERT_TRUE(launcher.launch(QFileInfo(kConverter).absolutePath(), QString()));
    ChildProcess& asking = *launcher.started().back();
    ASSERT_TRUE(launcher.launch(QFileInfo(kConverter).absolutePath(), pictures.path()));
    ChildProcess& converter = *launcher.started().back();
    ASSERT_FALSE(asking.waitForEnd(3000)) << "ended with status " << asking.exitStatus();
    asking.stop(ConverterLauncher::kStopGraceMs);
    EXPECT_EQ(asking.endSignal(), 0) << "killed instead of closing";
    EXPECT_EQ(asking.exitStatus(), 0);

    // A refused start would end at once with status 2; an accepted one waits for its user.
    ASSERT_FALSE(converter.waitForEnd(3000)) << "ended with status " << converter.exitStatus();

    launcher.stopNewest();

    EXPECT_FALSE(converter.isRunning());
    EXPECT_EQ(converter.endSignal(), 0) << "killed instead of closing";
    EXPECT_EQ(converter.exitStatus(), 0);
}
