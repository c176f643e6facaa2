#include "CorpusRun.h"

#include "OfficeProcessProbe.h"
#include "convert/ConversionJob.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "extract/ExtractionJob.h"
#include "support/JobTestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace quillet::testing {

// Forwards to the real application and lets the engine look at its office at the moments one may
// have started or is about to end.
class ObservedApplication : public OfficeApplication, public OfficeDocuments
{
public:
    ObservedApplication(ObservedEngine& engine, std::unique_ptr<OfficeApplication> app)
        : m_engine(engine), m_app(std::move(app))
    {
        m_engine.m_current = dynamic_cast<lo::LoApplication*>(m_app.get());
    }
    ~ObservedApplication() override
    {
        m_engine.observe();
        m_engine.m_current = nullptr;
    }
    QString Version() override { return m_app->Version(); }
    OfficeOptions& Options() override { return m_app->Options(); }
    OfficeDocuments& Documents() override { return *this; }
    OfficeSelection& Selection() override { return m_app->Selection(); }
    OfficeBrowser& Browser() override { return m_app->Browser(); }
    PictureSlot& Clipboard() override { return m_app->Clipboard(); }
    Picture RenderPicture(const QString& path, QSize size) override
    {
        return m_app->RenderPicture(path, size);
    }
    void Quit() override
    {
        m_engine.observe();
        m_app->Quit();
    }
    std::unique_ptr<OfficeDocument> Open(const QString& path) override
    {
        try {
            auto document = m_app->Documents().Open(path);
            m_engine.observe();
            return document;
        } catch (...) {
            m_engine.observe();
            throw;
        }
    }

private:
    ObservedEngine& m_engine;
    std::unique_ptr<OfficeApplication> m_app;
};

std::unique_ptr<OfficeApplication> ObservedEngine::CreateApplication()
{
    return std::make_unique<ObservedApplication>(*this, m_engine.CreateApplication());
}

void ObservedEngine::observe()
{
    if (!m_current || m_current->session().pid() == 0)
        return;
    if (!groups.contains(m_current->session().pid()))
        groups << m_current->session().pid();
    if (!profiles.contains(m_current->session().profileDir()))
        profiles << m_current->session().profileDir();
}

void ObservingWindow::keepAlive()
{
    ScriptedJobWindow::keepAlive();
    m_engine.observe();
}

void ObservingWindow::setBusy(bool on)
{
    ScriptedJobWindow::setBusy(on);
    if (!on)
        m_end = QDateTime::currentMSecsSinceEpoch();
}

void ObservingWindow::showProgress(const QString& text)
{
    ScriptedJobWindow::showProgress(text);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (text.startsWith(QStringLiteral("正在处理第")))
        m_starts << now;
}

QList<double> ObservingWindow::documentSeconds() const
{
    QList<double> seconds;
    for (qsizetype i = 0; i < m_starts.size(); ++i) {
        const qint64 end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_end;
        seconds << (end - m_starts[i]) / 1000.0;
    }
    return seconds;
}

namespace {

struct NumberedFile
{
    int number;
    QString name;
};

} // namespace

JobOutcome RunJob(JobType type, const QStringList& documents, const QString& workFolder)
{
    QDir().mkpath(workFolder);
    ObservedEngine engine;
    ObservingWindow window(engine);
    RecordingTextViewer viewer;
    window.documents = documents;
    window.current.outputFolder = workFolder + QStringLiteral("/out");
    window.current.logPath = workFolder + QStringLiteral("/Quillet.log");

    JobOutcome outcome;
    outcome.outputFolder = window.current.outputFolder;
    QElapsedTimer clock;
    clock.start();
    if (type == JobType::Conversion)
        RunConversionJob(window, engine, viewer);
    else
        RunExtractionJob(window, engine, viewer);
    outcome.seconds = clock.elapsed() / 1000.0;
    outcome.messages = window.scriptedDialogs.messageTexts();

    outcome.officeStarts = static_cast<int>(engine.groups.size());
    for (qint64 group : std::as_const(engine.groups)) {
        if (!waitUntilGroupGone(group))
            outcome.officesLeft << QStringLiteral("office process group %1").arg(group);
    }
    for (const QString& profile : std::as_const(engine.profiles)) {
        if (!waitUntilPathGone(profile))
            outcome.officesLeft << QStringLiteral("office profile ") + profile;
    }

    const QString extension = type == JobType::Conversion ? QStringLiteral("emf") : QStringLiteral("bmp");
    QStringList unclaimed = FilesIn(outcome.outputFolder);
    const QStringList lines = LogLines(window.current.logPath);
    const QList<double> seconds = window.documentSeconds();
    for (qsizetype i = 0; i < documents.size(); ++i) {
        const QString& path = documents[i];
        DocumentOutcome document;
        document.seconds = i < seconds.size() ? seconds[i] : 0;
        const QRegularExpression own(
            QStringLiteral("^%1-(\\d+)\\.%2$")
                .arg(QRegularExpression::escape(QFileInfo(path).completeBaseName()), extension));
        std::vector<NumberedFile> files;
        for (const QString& file : std::as_const(unclaimed)) {
            const QRegularExpressionMatch match = own.match(file);
            if (match.hasMatch())
                files.push_back({match.captured(1).toInt(), file});
        }
        std::sort(files.begin(), files.end(),
                  [](const NumberedFile& a, const NumberedFile& b) { return a.number < b.number; });
        for (const NumberedFile& file : files) {
            document.files << file.name;
            unclaimed.removeOne(file.name);
        }
        const QString marker = QStringLiteral("\t处理") + path + QStringLiteral("处错：");
        for (const QString& line : lines) {
            if (line.contains(marker))
                document.logLines << line;
        }
        outcome.documents.insert(path, document);
    }
    outcome.strayFiles = unclaimed;
    return outcome;
}

QString DescriptionOf(const QString& logLine)
{
    const qsizetype at = logLine.indexOf(QStringLiteral("处错："));
    return at < 0 ? QString() : logLine.mid(at + 3);
}

QString UnreadableBecause(const QString& description)
{
    if (description.trimmed().isEmpty())
        return QStringLiteral("the description is empty");
    // Internal names of the engine or of C++, and places in its source, mean nothing to a user.
    static const QRegularExpression internal(
        QStringLiteral("com\\.sun\\.star|css::|\\w+Exception\\b|std::|::|0x[0-9a-fA-F]{4,}|[\\w/"
                       ".]+\\.(cxx|cpp|hxx|hpp|h):\\d+"));
    const QRegularExpressionMatch match = internal.match(description);
    if (match.hasMatch())
        return QStringLiteral("it names \"%1\"").arg(match.captured());
    // The program speaks Chinese: a description without a word of it is a raw message.
    static const QRegularExpression chinese(QStringLiteral("\\p{Han}"));
    if (!chinese.match(description).hasMatch())
        return QStringLiteral("it has no word in the program's language");
    return {};
}

} // namespace quillet::testing
