// The private office of the LibreOffice backend against a real soffice: two offices side by side, our
// own program killed, a killed office, refused files and the restart after a number of documents.
// No office, profile or pipe may be left.

#include "OfficeProcessProbe.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "support/JobTestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <signal.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace quillet;
using namespace quillet::testing;
using lo::LoApplication;

namespace {

// The name of the session's office, which its processes, profile folder and pipe carry; they are
// all there to begin with.
QString officeOf(lo::LibreOfficeSession& session)
{
    const QString name = QFileInfo(session.profileDir()).fileName();
    const QStringList there = officeLeftovers(name, 0ms);
    EXPECT_TRUE(!there.filter("soffice.bin").isEmpty() && there.contains(session.profileDir()) &&
                there.contains(QString("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(name)))
        << there.join('\n').toStdString();
    return name;
}

// What the call threw; number 0 when it threw nothing.
EngineError failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const EngineError& e) {
        return e;
    }
    return EngineError(0, QString());
}

} // namespace

// Two programs hold an office each, side by side; killing one takes its office and leaves the other.
TEST(LibreOfficeSession, OfficeDiesWithTheProgramThatHoldsItAndNoOther)
{
    QProcess holders[2];
    QString offices[2];
    for (int i = 0; i < 2; ++i) {
        holders[i].start(SESSION_HOLDER_PATH, QStringList());
        ASSERT_TRUE(holders[i].waitForReadyRead(120000)) << holders[i].readAllStandardError().toStdString();
        const QString profile = QString::fromLocal8Bit(holders[i].readLine().trimmed());
        offices[i] = QFileInfo(profile).fileName();
        ASSERT_TRUE(officeLeftovers(offices[i], 0ms).contains(profile)) << profile.toStdString();
    }
    for (int i = 0; i < 2; ++i) {
        ::kill(static_cast<pid_t>(holders[i].processId()), SIGKILL);
        holders[i].waitForFinished();
        EXPECT_EQ(officeLeftovers(offices[i]), QStringList());
        if (i == 0)
            EXPECT_FALSE(officeLeftovers(offices[1], 0ms).isEmpty()) << "the other office went too";
    }
}

// Each office starts on a new profile, and must not take that for its first start after an
// upgrade: its drawing self-test then costs most of a second per job.
TEST(LibreOfficeSession, NewProfileIsNoFirstStart)
{
    lo::LibreOfficeSession session;
    session.ensureStarted();
    EXPECT_TRUE(QFileInfo::exists(session.profileDir() + "/user/registrymodifications.xcu"));
    EXPECT_FALSE(QFileInfo::exists(session.profileDir() + "/user/GraphicsRenderTests.log"));
}

// A killed office fails the call in flight, not our program by SIGPIPE when that call writes to the
// office's pipe (the office is stopped first, so the megabyte sent fills the pipe and blocks the
// write). Every later call of the document fails with the office's death and closing it is no
// failure, and the office's own temporary folder goes with it. (The hung office, and the next
// document on a fresh office: the real-engine job test.)
TEST(LoApplication, KilledOfficeFailsTheCallInFlightAndEveryLaterCallOfTheDocument)
{
    const QString built = testDocument({}, "docx");
    const QTemporaryDir tmp;
    const QByteArray tmpBefore = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());
    LoApplication app;
    auto document = app.Documents().Open(built);
    const QString first = officeOf(app.session());
    auto context = app.session().context();
    // Stopped first, and killed half a second later: the call below is surely in flight when it dies.
    const pid_t group = static_cast<pid_t>(app.session().pid());
    ASSERT_TRUE(stopGroup(group));
    std::thread killer([&] {
        std::this_thread::sleep_for(500ms);
        ::kill(-group, SIGKILL);
    });
    const rtl::OUString large = rtl::OUString::createFromAscii(std::string(1 << 20, 'x').c_str());
    const EngineError error =
        failureOf([&] { app.session().guarded(120s, [&] { context->getValueByName(large); }); });
    killer.join();
    EXPECT_EQ(error.number(), ErrorNumber::EngineDied);
    EXPECT_EQ(officeLeftovers(first), QStringList());
    EXPECT_EQ(failureOf([&] { document->Select(); }).number(), ErrorNumber::EngineDied);
    EXPECT_NO_THROW(document->Close(false));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
    tmpBefore.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpBefore);
}

// The window's start-up probe (the version) starts no office. Files that are no Word documents are
// refused with a description naming them, the office goes on, and nothing is written beside them
// (the jobs' tests check that for Word documents). A fresh office comes after the set number of
// documents and the one it replaces goes; Quit closes the document left open, whose handle then
// fails cleanly.
TEST(LoApplication, RefusesNonWordFilesRestartsAfterTheSetNumberOfDocumentsAndQuitClosesWhatIsOpen)
{
    QTemporaryDir folder;
    const QString good = folder.filePath("good.docx");
    ASSERT_TRUE(QFile::copy(testDocument({}, "docx"), good));
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator generator(2);
    for (char& byte : noise)
        byte = static_cast<char>(generator.bounded(256));
    const QMap<QString, QByteArray> refused{
        {"corrupt.docx", FileBytes(good).left(FileBytes(good).size() / 2)},
        {"empty.doc", QByteArray()},
        {"random.docx", noise},
        {"text.rtf", "just a line of text\n"}};
    for (auto it = refused.cbegin(); it != refused.cend(); ++it)
        writeFile(folder.filePath(it.key()), *it);
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden);
    lo::SessionSettings settings;
    settings.restartAfterDocuments = 3;
    LoApplication app(settings);
    EXPECT_EQ(app.Version(), "16.0");
    EXPECT_EQ(app.session().starts(), 0);
    EXPECT_EQ(failureOf([&] { app.Selection(); }).number(), ErrorNumber::NoDocument);
    const EngineError missing = failureOf([&] { app.Documents().Open(folder.filePath("missing.docx")); });
    EXPECT_EQ(missing.number(), ErrorNumber::FileNotFound);
    EXPECT_TRUE(missing.description().contains("missing.docx")) << missing.description().toStdString();
    for (const QString& name : refused.keys()) {
        const EngineError error = failureOf([&] { app.Documents().Open(folder.filePath(name)); });
        EXPECT_TRUE(error.number() == ErrorNumber::NotWordProcessorDocument ||
                    (error.number() == ErrorNumber::OpenFailed && name != "random.docx"))
            << name.toStdString() << ": " << error.number();
        EXPECT_TRUE(error.description().contains(folder.filePath(name))) << error.description().toStdString();
    }
    EXPECT_EQ(app.openDocuments(), 0);

    QStringList offices;
    std::unique_ptr<OfficeDocument> document;
    for (int i = 0; i < 7; ++i) {
        if (document)
            document->Close(false);
        document = app.Documents().Open(good);
        if (!offices.contains(QFileInfo(app.session().profileDir()).fileName()))
            offices << officeOf(app.session());
    }
    EXPECT_EQ(app.session().starts(), 3) << "the refusals ended the office, or no restart";
    ASSERT_EQ(offices.size(), 3);
    EXPECT_EQ(officeLeftovers(offices[0]) + officeLeftovers(offices[1]), QStringList()) << "replaced offices";
    app.Quit();
    app.Quit(); // a second quit does nothing
    EXPECT_EQ(failureOf([&] { document->Select(); }).number(), ErrorNumber::NoDocument);
    EXPECT_EQ(officeLeftovers(offices[2]), QStringList());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
    for (auto it = refused.cbegin(); it != refused.cend(); ++it)
        EXPECT_EQ(FileBytes(folder.filePath(it.key())), *it) << it.key().toStdString();
}
