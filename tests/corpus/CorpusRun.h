#pragma once

// One job over the whole corpus in one format, through the same entry points as the window's
// buttons, on the real LibreOffice engine; what came out, per document.

#include "engine/OfficeApplication.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "support/ScriptedJobWindow.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace quillet::lo {
class LoApplication;
}

namespace quillet::testing {

// The real engine, noting every office process group and profile its applications run: after
// each document is opened (a fresh office starts there), at every sign of life, and before quit.
class ObservedEngine : public OfficeEngine
{
public:
    std::unique_ptr<OfficeApplication> CreateApplication() override;
    // Notes the office of the application that is alive now, if any.
    void observe();

    QList<qint64> groups;
    QStringList profiles;

private:
    friend class ObservedApplication;
    lo::LibreOfficeEngine m_engine;
    lo::LoApplication* m_current = nullptr; // reset when its application ends
};

// The scripted window, timing each document and watching the engine at every sign of life.
class ObservingWindow : public ScriptedJobWindow
{
public:
    explicit ObservingWindow(ObservedEngine& engine) : m_engine(engine) {}
    void keepAlive() override;
    void showProgress(const QString& text) override;
    void setBusy(bool on) override;
    // Seconds from each document's progress line to the next one (the last to the job's end).
    QList<double> documentSeconds() const;

private:
    ObservedEngine& m_engine;
    QList<qint64> m_starts; // ms since the epoch, per document
    qint64 m_end = 0;
};

enum class JobType
{
    Conversion,
    Extraction
};

struct DocumentOutcome
{
    QStringList files;    // "<name>-<n>.<ext>" made for it, in number order
    QStringList logLines; // the log's lines about it
    double seconds = 0;
};

struct JobOutcome
{
    QMap<QString, DocumentOutcome> documents; // by document path
    QStringList strayFiles;                   // output files of no listed document
    QStringList messages;                     // message boxes shown
    QString outputFolder;
    double seconds = 0;
    int officeStarts = 0;    // office process groups seen
    QStringList officesLeft; // groups or profiles still there after the job
};

// Runs one job over `documents` with fresh output and log in `workFolder`.
JobOutcome RunJob(JobType type, const QStringList& documents, const QString& workFolder);

// A log line's description (after "处错："), empty when the line has none.
QString DescriptionOf(const QString& logLine);

// Empty when a user can read the description; otherwise what is wrong with it.
QString UnreadableBecause(const QString& description);

} // namespace quillet::testing
