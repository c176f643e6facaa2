// The office session against a real soffice: start, stop, a hung office, a killed office, and our
// own program killed. Every test checks that no office process and no profile is left.

#include "OfficeProcessProbe.h"
#include "engine/libreoffice/LibreOfficeSession_p.h"

#include <QFileInfo>
#include <QProcess>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using quillet::EngineError;
namespace ErrorNumber = quillet::ErrorNumber;
using quillet::lo::LibreOfficeSession;
using quillet::testing::liveProcessesInGroup;
using quillet::testing::signalGroup;
using quillet::testing::waitUntilGroupGone;
using quillet::testing::waitUntilPathGone;

namespace {

// A remote call that needs the office to answer.
void askOffice(LibreOfficeSession& session)
{
    auto desktop = session.desktop();
    session.guarded(10s, [&] { desktop->getComponents()->createEnumeration()->hasMoreElements(); });
}

struct StartedOffice
{
    qint64 group;
    QString profile;
};

// The socket file of the office's pipe, which a killed office leaves behind unless we remove it.
QString pipeSocket(const StartedOffice& office)
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(QFileInfo(office.profile).fileName());
}

StartedOffice start(LibreOfficeSession& session)
{
    session.ensureStarted();
    StartedOffice office{session.pid(), session.profileDir()};
    EXPECT_GT(office.group, 0);
    EXPECT_TRUE(QFileInfo(office.profile).isDir());
    EXPECT_FALSE(liveProcessesInGroup(office.group).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(pipeSocket(office))) << pipeSocket(office).toStdString();
    return office;
}

void expectNothingLeft(const StartedOffice& office)
{
    EXPECT_TRUE(waitUntilGroupGone(office.group)) << "office processes left in group " << office.group;
    EXPECT_TRUE(waitUntilPathGone(office.profile)) << office.profile.toStdString();
    EXPECT_TRUE(waitUntilPathGone(pipeSocket(office))) << pipeSocket(office).toStdString();
}

} // namespace

TEST(LibreOfficeSession, StartsNothingUntilAskedAndStopsCleanly)
{
    LibreOfficeSession session;
    EXPECT_FALSE(session.running());
    EXPECT_EQ(session.pid(), 0);

    const StartedOffice office = start(session);
    EXPECT_TRUE(session.running());
    EXPECT_NO_THROW(askOffice(session));
    session.ensureStarted(); // already running: the same process
    EXPECT_EQ(session.pid(), office.group);
    EXPECT_EQ(session.starts(), 1);

    session.stop();
    EXPECT_FALSE(session.running());
    EXPECT_EQ(session.pid(), 0);
    expectNothingLeft(office);
    EXPECT_NO_THROW(session.stop()); // again: nothing to do
}

TEST(LibreOfficeSession, TwoSessionsRunSideBySideAndTheDestructorStops)
{
    StartedOffice first;
    StartedOffice second;
    {
        LibreOfficeSession a;
        LibreOfficeSession b;
        first = start(a);
        second = start(b);
        EXPECT_NE(first.group, second.group);
        EXPECT_NE(first.profile, second.profile);
        EXPECT_NO_THROW(askOffice(a));
        EXPECT_NO_THROW(askOffice(b));
    }
    expectNothingLeft(first);
    expectNothingLeft(second);
}

TEST(LibreOfficeSession, StoppedOfficeIsKilledAtTheDeadlineAndTheCallTimesOut)
{
    LibreOfficeSession session;
    const StartedOffice office = start(session);
    auto desktop = session.desktop();
    signalGroup(office.group, SIGSTOP);

    try {
        session.guarded(2s, [&] { desktop->getComponents()->createEnumeration()->hasMoreElements(); });
        FAIL() << "a stopped office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineTimeout);
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_FALSE(session.running());
    expectNothingLeft(office);

    // The next use starts a fresh office.
    const StartedOffice next = start(session);
    EXPECT_NE(next.group, office.group);
    EXPECT_NO_THROW(askOffice(session));
    session.stop();
    expectNothingLeft(next);
}

TEST(LibreOfficeSession, OfficeKilledDuringACallFailsThatCall)
{
    LibreOfficeSession session;
    const StartedOffice office = start(session);
    auto desktop = session.desktop();
    // Stopped first so that the call is surely in flight when the office is killed.
    signalGroup(office.group, SIGSTOP);
    std::thread killer([&] {
        std::this_thread::sleep_for(500ms);
        signalGroup(office.group, SIGKILL);
    });
    try {
        session.guarded(60s, [&] { desktop->getComponents()->createEnumeration()->hasMoreElements(); });
        ADD_FAILURE() << "a killed office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineDied);
        EXPECT_FALSE(e.description().isEmpty());
    }
    killer.join();
    EXPECT_FALSE(session.running());
    expectNothingLeft(office);

    EXPECT_NO_THROW(askOffice(session));
    EXPECT_EQ(session.starts(), 2);
    const StartedOffice next{session.pid(), session.profileDir()};
    session.stop();
    expectNothingLeft(next);
}

TEST(LibreOfficeSession, OfficeDiesWithTheProgramThatHoldsIt)
{
    QProcess holder;
    holder.start(QStringLiteral(SESSION_HOLDER_PATH), QStringList());
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(holder.waitForReadyRead(120000)) << holder.readAllStandardError().toStdString();
    const QList<QByteArray> fields = holder.readLine().trimmed().split(' ');
    ASSERT_EQ(fields.size(), 2);
    const StartedOffice office{fields[0].toLongLong(), QString::fromLocal8Bit(fields[1])};
    ASSERT_GT(office.group, 0);
    EXPECT_FALSE(liveProcessesInGroup(office.group).isEmpty());
    EXPECT_TRUE(QFileInfo(office.profile).isDir());

    ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
    holder.waitForFinished();
    expectNothingLeft(office);
}

// The office dying while we write to its pipe fails the call, not our program. The office is
// stopped first, so the megabyte we send fills the pipe and our write is blocked when it dies.
TEST(LibreOfficeSession, OfficeKilledDuringAWriteFailsTheCallNotTheProgram)
{
    const rtl::OUString large = rtl::OUString::createFromAscii(std::string(1 << 20, 'x').c_str());
    LibreOfficeSession session;
    const StartedOffice office = start(session);
    auto context = session.context();
    signalGroup(office.group, SIGSTOP);
    std::thread killer([&] {
        std::this_thread::sleep_for(500ms);
        signalGroup(office.group, SIGKILL);
    });
    try {
        session.guarded(60s, [&] { context->getValueByName(large); });
        ADD_FAILURE() << "a killed office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineDied);
    }
    killer.join();
    struct sigaction pipeDisposition
    {
    };
    ::sigaction(SIGPIPE, nullptr, &pipeDisposition);
    EXPECT_EQ(pipeDisposition.sa_handler, SIG_IGN);
    expectNothingLeft(office);
}
