#pragma once

// A job window for tests: options and the document list are plain fields; everything the job
// does to the window is recorded, in order, as readable events.

#include "jobs/ConversionOptions.h"
#include "jobs/JobWindow.h"
#include "platform/TextViewer.h"
#include "support/ScriptedDialogs.h"

#include <QMap>
#include <QStringList>
#include <functional>

namespace quillet::testing {

class ScriptedJobWindow : public JobWindow, public OptionsSource
{
public:
    ScriptedJobWindow();

    QStringList documents;
    ConversionOptions current;
    ScriptedDialogs scriptedDialogs;
    // Events: "disable CmdDo", "enable txtLog", "busy on", "busy off", "progress <text>",
    // "message <text>", "chooseOutputFolder", "chooseLogFile", "selectAllPages", "outDir <text>".
    QStringList events;
    QMap<JobControl, bool> enabled;
    bool busy = false;
    QString progressText;
    bool pageBoxesEnabled = true;
    int keepAliveCalls = 0;
    std::function<void(int index)> onDocumentPath; // may throw, to test an interrupted job

    QStringList eventsStartingWith(const QString& prefix) const;
    bool anyControlLocked() const;

    int documentCount() const override { return static_cast<int>(documents.size()); }
    QString documentPath(int index) const override;
    const OptionsSource& jobOptions() const override { return *this; }
    ConversionOptions options() const override { return current; }
    void setOutputFolderText(const QString& text) override;
    void selectAllPages() override;
    void setJobControlEnabled(JobControl control, bool on) override;
    void setBusy(bool on) override;
    void showProgress(const QString& text) override;
    void keepAlive() override { ++keepAliveCalls; }
    void chooseOutputFolder() override { events << QStringLiteral("chooseOutputFolder"); }
    void chooseLogFile() override { events << QStringLiteral("chooseLogFile"); }
    Dialogs& dialogs() override { return scriptedDialogs; }
};

QString ControlName(JobControl control);

// Records the files it was asked to show; fails with `failure` when that is set.
class RecordingTextViewer : public TextViewer
{
public:
    QStringList opened;
    QString failure;
    QString open(const QString& fileName) override
    {
        opened << fileName;
        return failure;
    }
};

} // namespace quillet::testing
