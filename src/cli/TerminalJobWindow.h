#pragma once

// The job frame's window and dialog layer on a terminal: the document list and options come from
// the command line, the frame's messages become lines on standard error, its question about the
// log is answered "no" (the command line names the log in its own summary), and progress goes to
// the terminal report.

#include "jobs/ConversionOptions.h"
#include "jobs/JobWindow.h"
#include "platform/Dialogs.h"

#include <QStringList>

namespace quillet {

class StopSignals;
class TerminalReport;

class TerminalDialogs : public Dialogs
{
public:
    explicit TerminalDialogs(TerminalReport& report) : m_report(report) {}

    MessageAnswer message(const QString& text, MessageIcon icon, MessageButtons buttons) override;
    // Nobody is there to choose: every chooser comes back cancelled.
    std::optional<QStringList> openFiles(const QString&, const QString&) override { return QStringList(); }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&, bool) override
    {
        return QString();
    }
    QString chooseFolder(const QString&, QObject*) override { return QString(); }

private:
    TerminalReport& m_report;
};

class TerminalJobWindow : public JobWindow, public OptionsSource
{
public:
    TerminalJobWindow(QStringList documents, ConversionOptions options, TerminalReport& report,
                      const StopSignals& stop);

    int documentCount() const override { return static_cast<int>(m_documents.size()); }
    QString documentPath(int index) const override { return m_documents.at(index); }
    const OptionsSource& jobOptions() const override { return *this; }
    ConversionOptions options() const override { return m_options; }
    void setOutputFolderText(const QString& text) override { m_options.outputFolder = text; }
    void selectAllPages() override;
    void setJobControlEnabled(JobControl, bool) override {}
    void setBusy(bool busy) override;
    // The frame's progress texts are the window's label; the terminal report shows more.
    void showProgress(const QString&) override {}
    void keepAlive() override;
    void chooseOutputFolder() override {}
    void chooseLogFile() override {}
    Dialogs& dialogs() override { return m_dialogs; }
    void documentDone(int index, bool failed) override;
    bool stopRequested() override;

private:
    const QStringList m_documents;
    ConversionOptions m_options;
    TerminalReport& m_report;
    TerminalDialogs m_dialogs;
    const StopSignals& m_stop;
};

} // namespace quillet
