// The batch jobs started from the main window: the window's side of the shared job frame.

#include "app/MainWindow.h"
#include "convert/ConversionJob.h"
#include "convert/JobWindow.h"
#include "extract/ExtractionJob.h"
#include "platform/TextViewer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace quillet {

namespace {

// While a job runs, the window is repainted between pages; a close request arriving then is
// refused, since the job still uses the window.
class CloseBlocker : public QObject
{
public:
    explicit CloseBlocker(QWidget& window) : m_window(window) { m_window.installEventFilter(this); }
    ~CloseBlocker() override { m_window.removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget& m_window;
};

class MainWindowJobs : public JobWindow
{
public:
    explicit MainWindowJobs(MainWindow& window) : m_window(window), m_closeBlocker(window) {}
    ~MainWindowJobs() override
    {
        if (m_busy)
            QGuiApplication::restoreOverrideCursor();
    }

    int documentCount() const override { return static_cast<int>(m_window.documentList().count()); }
    QString documentPath(int index) const override { return m_window.documentList().at(index); }
    const OptionsSource& jobOptions() const override { return m_window.optionsSource(); }
    void setOutputFolderText(const QString& text) override { m_window.txtOutDir->setText(text); }
    void selectAllPages() override
    {
        if (m_window.OptSlidesAll->isChecked())
            m_window.OptSlidesAll_Click();
        else
            m_window.OptSlidesAll->setChecked(true); // runs OptSlidesAll_Click
    }
    void setJobControlEnabled(JobControl control, bool enabled) override
    {
        switch (control) {
        case JobControl::CmdDo:
            m_window.CmdDo->setEnabled(enabled);
            break;
        case JobControl::CmdPicExtract:
            m_window.CmdPicExtract->setEnabled(enabled);
            break;
        case JobControl::txtOutDir:
            m_window.txtOutDir->setEnabled(enabled);
            break;
        case JobControl::txtLog:
            m_window.txtLog->setEnabled(enabled);
            break;
        }
    }
    void setBusy(bool busy) override
    {
        if (busy == m_busy)
            return;
        m_busy = busy;
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    }
    void showProgress(const QString& text) override
    {
        m_window.lblProcessing->setText(text);
        m_window.lblProcessing->repaint();
        keepAlive();
    }
    void keepAlive() override
    {
        // Paints and window-system traffic only: no click or key reaches a handler during the job.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void chooseOutputFolder() override { m_window.Command2_Click(); }
    void chooseLogFile() override { m_window.Command1_Click(); }
    Dialogs& dialogs() override { return m_window.dialogs(); }

private:
    MainWindow& m_window;
    CloseBlocker m_closeBlocker;
    bool m_busy = false;
};

} // namespace

void MainWindow::CmdDo_Click()
{
    MainWindowJobs jobWindow(*this);
    DesktopTextViewer viewer;
    RunConversionJob(jobWindow, m_engine, viewer);
}

void MainWindow::CmdPicExtract_Click()
{
    MainWindowJobs jobWindow(*this);
    DesktopTextViewer viewer;
    RunExtractionJob(jobWindow, m_engine, viewer);
}

} // namespace quillet
