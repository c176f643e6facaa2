// The LibreOffice application object against a real soffice: the cheap start-up probe, opening and
// closing documents without touching them, refused files, a killed and a hung office, and the
// restart after a number of documents. Every test checks that no office and no profile is left.

#include "OfficeProcessProbe.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "engine/libreoffice/LoApplication_p.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <signal.h>
#include <thread>

using namespace std::chrono_literals;
using quillet::EngineError;
using quillet::OfficeDocument;
namespace ErrorNumber = quillet::ErrorNumber;
using quillet::lo::LibreOfficeEngine;
using quillet::lo::LoApplication;
using quillet::lo::SessionSettings;
using namespace quillet::testing;

namespace {

struct OfficeTrace
{
    qint64 group;
    QString profile;
};

OfficeTrace traceOf(LoApplication& app)
{
    return {app.session().pid(), app.session().profileDir()};
}

void expectGone(const OfficeTrace& office)
{
    ASSERT_GT(office.group, 0);
    EXPECT_TRUE(waitUntilGroupGone(office.group)) << "office left in group " << office.group;
    EXPECT_TRUE(waitUntilPathGone(office.profile)) << office.profile.toStdString();
}

QByteArray digest(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// A private copy of a built document in its own folder, so that the folder can be watched.
QString copyInto(const QTemporaryDir& dir, const QString& source, const QString& name)
{
    const QString target = dir.filePath(name);
    EXPECT_TRUE(QFile::copy(source, target));
    return target;
}

long failureOf(LoApplication& app, const QString& path, QString* description = nullptr)
{
    try {
        app.Documents().Open(path);
    } catch (const EngineError& e) {
        if (description)
            *description = e.description();
        return e.number();
    }
    return 0;
}

std::unique_ptr<OfficeDocument> openFresh(LoApplication& app)
{
    return app.Documents().Open(testDocument({}, QStringLiteral("docx")));
}

} // namespace

TEST(LibreOfficeEngine, StartUpProbeStartsNoOffice)
{
    LibreOfficeEngine engine;
    auto app = engine.CreateApplication();
    auto& lo = dynamic_cast<LoApplication&>(*app);
    EXPECT_EQ(app->Version(), QStringLiteral("16.0"));
    app->Options().setCheckGrammarAsYouType(false);
    app->Options().setCheckGrammarWithSpelling(false);
    EXPECT_FALSE(lo.checkGrammarAsYouType());
    EXPECT_FALSE(lo.checkGrammarWithSpelling());
    EXPECT_EQ(lo.session().pid(), 0);
    app->Quit();
    app->Quit(); // a second quit does nothing
    EXPECT_EQ(lo.session().pid(), 0);

    EXPECT_TRUE(engine.officeVersion().contains(QRegularExpression(QStringLiteral("^[0-9]+\\.[0-9]+"))))
        << engine.officeVersion().toStdString();
}

TEST(LibreOfficeEngine, MissingInstallationIsEngineUnavailable)
{
    QTemporaryDir empty;
    SessionSettings settings;
    settings.programDir = empty.path();
    LibreOfficeEngine engine(settings);
    try {
        engine.CreateApplication();
        FAIL() << "created an application without an office";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineUnavailable);
        EXPECT_FALSE(e.description().isEmpty());
    }
}

TEST(LoApplication, OpensAndClosesWordDocumentsWithoutTouchingThem)
{
    QTemporaryDir folder;
    const QStringList documents{
        copyInto(folder, testDocument({2}, QStringLiteral("docx")), QStringLiteral("a.docx")),
        copyInto(folder, testDocument({2}, QStringLiteral("doc")), QStringLiteral("b.doc")),
        copyInto(folder, testDocument({2}, QStringLiteral("rtf")), QStringLiteral("c.rtf")),
    };
    const QStringList before =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QList<QByteArray> digests;
    for (const QString& path : documents)
        digests.append(digest(path));

    OfficeTrace office{};
    {
        LoApplication app;
        EXPECT_THROW(app.Selection(), EngineError);
        for (const QString& path : documents) {
            auto document = app.Documents().Open(path);
            office = traceOf(app);
            EXPECT_EQ(app.openDocuments(), 1);
            // While it is open: no lock file beside it.
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                      before);
            document->Select();
            EXPECT_EQ(app.Selection().Start(), 0);
            EXPECT_GT(app.Selection().End(), 0);
            document->Close(false);
            EXPECT_EQ(app.openDocuments(), 0);
            try {
                app.Selection();
                ADD_FAILURE() << "a selection without a document";
            } catch (const EngineError& e) {
                EXPECT_EQ(e.number(), ErrorNumber::NoDocument);
            }
            EXPECT_THROW(document->Select(), EngineError);
        }
        EXPECT_EQ(app.session().starts(), 1);
        // A document left open is closed by Quit.
        auto left = app.Documents().Open(documents[0]);
        app.Quit();
        EXPECT_THROW(left->Select(), EngineError);
        expectGone(office);
        app.Quit();
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
    for (int i = 0; i < documents.size(); ++i)
        EXPECT_EQ(digest(documents[i]), digests[i]) << documents[i].toStdString();
}

TEST(LoApplication, RefusesFilesThatAreNotWordDocumentsWithADescription)
{
    QTemporaryDir folder;
    const QString good =
        copyInto(folder, testDocument({}, QStringLiteral("docx")), QStringLiteral("good.docx"));
    QByteArray bytes;
    {
        QFile file(good);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        bytes = file.readAll();
    }
    const auto write = [&](const QString& name, const QByteArray& content) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    };
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator generator(2);
    for (char& byte : noise)
        byte = static_cast<char>(generator.bounded(256));

    const QString corrupt = write(QStringLiteral("corrupt.docx"), bytes.left(bytes.size() / 2));
    const QString empty = write(QStringLiteral("empty.doc"), QByteArray());
    const QString random = write(QStringLiteral("random.docx"), noise);
    const QString text = write(QStringLiteral("text.rtf"), QByteArray("just a line of text\n"));
    const QStringList before =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    LoApplication app;
    QString description;
    EXPECT_EQ(failureOf(app, folder.filePath(QStringLiteral("missing.docx")), &description),
              ErrorNumber::FileNotFound);
    EXPECT_TRUE(description.contains(QStringLiteral("missing.docx")));
    for (const QString& path : {corrupt, empty, random, text}) {
        description.clear();
        const long number = failureOf(app, path, &description);
        EXPECT_TRUE(number == ErrorNumber::OpenFailed || number == ErrorNumber::NotWordProcessorDocument)
            << path.toStdString() << ": " << number;
        EXPECT_TRUE(description.contains(path)) << description.toStdString();
    }
    EXPECT_EQ(failureOf(app, random), ErrorNumber::NotWordProcessorDocument);
    EXPECT_EQ(app.openDocuments(), 0);

    // The office is still fine, and nothing was written beside the files.
    EXPECT_EQ(app.session().starts(), 1);
    auto document = app.Documents().Open(good);
    document->Close(false);
    const OfficeTrace office = traceOf(app);
    app.Quit();
    expectGone(office);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

TEST(LoApplication, OfficeKilledDuringACallFailsItAndTheNextOpenWorks)
{
    LoApplication app;
    auto document = openFresh(app);
    const OfficeTrace first = traceOf(app);
    // Stopped first so that the call is surely in flight when the office is killed.
    signalGroup(first.group, SIGSTOP);
    std::thread killer([&] {
        std::this_thread::sleep_for(500ms);
        signalGroup(first.group, SIGKILL);
    });
    try {
        document->Shapes();
        ADD_FAILURE() << "a killed office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineDied);
        EXPECT_FALSE(e.description().isEmpty());
    }
    killer.join();
    expectGone(first);
    // The office is gone: the document's calls fail with its end, and closing it is no failure.
    try {
        document->Select();
        ADD_FAILURE() << "a document of a dead office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineDied);
    }
    EXPECT_NO_THROW(document->Close(false));

    auto next = openFresh(app);
    const OfficeTrace second = traceOf(app);
    EXPECT_NE(second.group, first.group);
    EXPECT_NO_THROW(next->Shapes());
    next->Close(false);
    app.Quit();
    expectGone(second);
}

TEST(LoApplication, HungOfficeIsKilledAtTheDeadlineAndTheNextOpenWorks)
{
    SessionSettings settings;
    settings.baseDeadline = 3s;
    settings.perPageAllowance = 1s;
    LoApplication app(settings);
    auto document = openFresh(app);
    const OfficeTrace first = traceOf(app);
    signalGroup(first.group, SIGSTOP);
    try {
        document->Shapes();
        ADD_FAILURE() << "a stopped office answered";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::EngineTimeout);
        EXPECT_FALSE(e.description().isEmpty());
    }
    expectGone(first);
    document.reset();

    auto next = openFresh(app);
    const OfficeTrace second = traceOf(app);
    EXPECT_NE(second.group, first.group);
    next->Close(false);
    app.Quit();
    expectGone(second);
}

TEST(LoApplication, RestartsTheOfficeAfterTheSetNumberOfDocuments)
{
    SessionSettings settings;
    settings.restartAfterDocuments = 3;
    LoApplication app(settings);
    QList<OfficeTrace> offices;
    for (int i = 0; i < 7; ++i) {
        auto document = openFresh(app);
        if (offices.isEmpty() || offices.last().group != app.session().pid())
            offices.append(traceOf(app));
        document->Select();
        EXPECT_GT(app.Selection().End(), 0);
        document->Close(false);
    }
    EXPECT_EQ(app.session().starts(), 3);
    ASSERT_EQ(offices.size(), 3);
    expectGone(offices[0]);
    expectGone(offices[1]);
    app.Quit();
    expectGone(offices[2]);
}
