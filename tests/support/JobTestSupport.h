#pragma once

// The job tests' helpers: files written, log lines, a scripted job window, one job on the fake engine.

#include "jobs/ConversionOptions.h"
#include "jobs/ExceptionLog.h"
#include "jobs/JobWindow.h"
#include "platform/TextViewer.h"
#include "support/FakeOffice.h"
#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet::testing {

inline QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

inline QByteArray FileBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The log's lines, decoded from the system's character set (UTF-8 in an ASCII-only locale).
inline QStringList LogLines(const QString& logFile)
{
    QStringDecoder decoder(SystemCharset().constData());
    if (!decoder.isValid() || SystemCharset() == "ANSI_X3.4-1968")
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return QString(decoder.decode(FileBytes(logFile))).split("\r\n", Qt::SkipEmptyParts);
}

// A job window, and the viewer it shows the log in: options and the document list are plain fields;
// everything the job does to the window is recorded, in order, as readable events.
class ScriptedJobWindow : public JobWindow, public OptionsSource, public TextViewer
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
    int keepAliveCalls = 0;
    QStringList shownFiles; // by the viewer, which fails with viewerFailure if set
    QString viewerFailure;

    bool anyControlLocked() const { return m_locked.values().contains(true); }
    QStringList messages() const { return scriptedDialogs.messageTexts(); }
    QStringList logLines() const { return LogLines(current.logPath); }

    QStringList documentPaths() const override { return documents; }
    const OptionsSource& jobOptions() const override { return *this; }
    ConversionOptions options() const override { return current; }
    void setOutputFolderText(const QString& text) override
    {
        events << "outDir " + (current.outputFolder = text);
    }
    void selectAllPages() override
    {
        current.allPages = true;
        current.pageRange = false;
        events << "selectAllPages";
    }
    void setJobControlEnabled(JobControl control, bool on) override
    {
        const QString name = QStringList{"CmdDo", "CmdPicExtract", "txtOutDir", "txtLog"}.at(int(control));
        m_locked[name] = !on;
        events << (on ? "enable " : "disable ") + name;
    }
    void setBusy(bool on) override { events << ((m_locked["busy"] = on) ? "busy on" : "busy off"); }
    void showProgress(const QString& text) override { events << "progress " + (progressText = text); }
    void keepAlive() override { ++keepAliveCalls; }
    void chooseOutputFolder() override { events << "chooseOutputFolder"; }
    void chooseLogFile() override { events << "chooseLogFile"; }
    Dialogs& dialogs() override { return scriptedDialogs; }
    QString open(const QString& fileName) override
    {
        shownFiles << fileName;
        return viewerFailure;
    }

private:
    QMap<QString, bool> m_locked; // per control, and the busy pointer
};

// A job (RunConversionJob or RunExtractionJob) on the fake engine, in a folder of its own.
struct FakeJob : ScriptedJobWindow
{
    QTemporaryDir dir;
    FakeOffice office;

    QString add(const QString& name, const FakeDocumentScript& script = {})
    {
        office.addDocument(dir.filePath(name), script);
        return documents.emplace_back(dir.filePath(name));
    }
    void run(void (*job)(JobWindow&, OfficeEngine&, TextViewer&),
             ConversionOptions options = {"out", "Quillet.log"})
    {
        for (QString* path : {&options.outputFolder, &options.logPath})
            *path = path->trimmed().isEmpty() ? *path : dir.filePath(*path);
        current = options;
        job(*this, office, *this);
    }
    QString out() const { return dir.filePath("out/"); }
};

} // namespace quillet::testing
