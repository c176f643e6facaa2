#pragma once

// The main window's side of the job frame: the document list, the options, the controls a job locks,
// the progress label, and a window that keeps painting but takes no input while a job runs.

#include "gui/MainWindowControls.h"
#include "jobs/JobWindow.h"

#include <memory>

namespace quillet {

class DocumentList;
class OptionsPanel;
class JobInputBlocker;

class MainWindowJobs : public JobWindow
{
public:
    MainWindowJobs(QWidget& window, const MainWindowControls& controls, OptionsPanel& options,
                   DocumentList& list, Dialogs& dialogs);
    ~MainWindowJobs() override;

    QStringList documentPaths() const override;
    const OptionsSource& jobOptions() const override;
    void setOutputFolderText(const QString& text) override;
    void selectAllPages() override;
    void setJobControlEnabled(JobControl control, bool enabled) override;
    void setBusy(bool busy) override;
    void showProgress(const QString& text) override;
    void keepAlive() override;
    void chooseOutputFolder() override;
    void chooseLogFile() override;
    Dialogs& dialogs() override;

private:
    MainWindowControls m_c;
    OptionsPanel& m_options;
    DocumentList& m_list;
    Dialogs& m_dialogs;
    std::unique_ptr<JobInputBlocker> m_inputBlocker;
    bool m_busy = false;
};

} // namespace quillet
