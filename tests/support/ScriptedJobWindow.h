#pragma once

// A job window for tests: options and the document list are plain fields; everything the job
// does to the window is recorded, in order, as readable events.

#include "jobs/ConversionOptions.h"
#include "jobs/JobWindow.h"
#include "platform/TextViewer.h"
#include "support/ScriptedDialogs.h"

#include <QMap>

namespace quillet::testing {

class ScriptedJobWindow : public JobWindow, public OptionsSource
{
public:
    ScriptedJobWindow()
    {
        scriptedDialogs.onMessage = [this](const ShownMessage& shown) { events << "message " + shown.text; };
    }

    QStringList documents;
    ConversionOptions current;
    ScriptedDialogs scriptedDialogs;
    // "disable CmdDo", "enable txtLog", "busy on", "busy off", "progress <text>", "message <text>",
    // "chooseOutputFolder", "chooseLogFile", "selectAllPages", "outDir <text>".
    QStringList events;
    QString progressText;
    bool pageBoxesEnabled = true;
    int keepAliveCalls = 0;
    std::function<void(int index)> onDocumentPath; // may throw, to test an interrupted job

    bool anyControlLocked() const { return m_locked.values().contains(true); }

    int documentCount() const override { return static_cast<int>(documents.size()); }
    QString documentPath(int index) const override
    {
        if (onDocumentPath)
            onDocumentPath(index);
        return documents.at(index);
    }
    const OptionsSource& jobOptions() const override { return *this; }
    ConversionOptions options() const override { return current; }
    void setOutputFolderText(const QString& text) override
    {
        current.outputFolder = text;
        events << "outDir " + text;
    }
    void selectAllPages() override
    {
        current.allPages = true;
        current.pageRange = pageBoxesEnabled = false;
        events << "selectAllPages";
    }
    void setJobControlEnabled(JobControl control, bool on) override
    {
        const QString name = QStringList{"CmdDo", "CmdPicExtract", "txtOutDir", "txtLog"}.at(int(control));
        m_locked[name] = !on;
        events << (on ? "enable " : "disable ") + name;
    }
    void setBusy(bool on) override
    {
        m_locked["busy"] = on;
        events << (on ? "busy on" : "busy off");
    }
    void showProgress(const QString& text) override
    {
        progressText = text;
        events << "progress " + text;
    }
    void keepAlive() override { ++keepAliveCalls; }
    void chooseOutputFolder() override { events << "chooseOutputFolder"; }
    void chooseLogFile() override { events << "chooseLogFile"; }
    Dialogs& dialogs() override { return scriptedDialogs; }

private:
    QMap<QString, bool> m_locked; // per control, and the busy pointer
};

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
