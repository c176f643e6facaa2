// The batch jobs started from the main window: the window's side of the shared job frame.

#include "app/MainWindow.h"
#include "convert/ConversionJob.h"
#include "convert/JobWindow.h"
#include "extract/ExtractionJob.h"
#include "platform/TextViewer.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace quillet {

namespace {

// While a job runs the window is repainted between pages, but nothing the user does reaches a
// handler: clicks, keys and drops on the window are dropped, not queued for after the job. A close
// request is kept and carried out once the job has ended, since closing cannot be refused.
class JobInputBlocker : public QObject
{
public:
    explicit JobInputBlocker(QWidget& window) : m_window(window) { qApp->installEventFilter(this); }
    ~JobInputBlocker() override
    {
        qApp->removeEventFilter(this);
        if (m_closeRequested)
            QMetaObject::invokeMethod(&m_window, &QWidget::close, Qt::QueuedConnection);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isOnWindow(watched))
            return false;
        if (event->type() == QEvent::Close) {
            m_closeRequested = true;
            event->ignore();
            return true;
        }
        return isUserInput(event->type());
    }

private:
    bool isOnWindow(QObject* object) const
    {
        if (object->isWidgetType())
            return static_cast<QWidget*>(object)->window() == &m_window;
        return object->isWindowType() && object == static_cast<QObject*>(m_window.windowHandle());
    }

    static bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::NativeGesture:
            return true;
        default:
            return false;
        }
    }

    QWidget& m_window;
    bool m_closeRequested = false;
};

class MainWindowJobs : public JobWindow
{
public:
    explicit MainWindowJobs(MainWindow& window) : m_window(window), m_inputBlocker(window) {}
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
        // Paints and window-system traffic; the input blocker drops what the user does meanwhile.
        QCoreApplication::processEvents();
    }
    void chooseOutputFolder() override { m_window.Command2_Click(); }
    void chooseLogFile() override { m_window.Command1_Click(); }
    Dialogs& dialogs() override { return m_window.dialogs(); }

private:
    MainWindow& m_window;
    JobInputBlocker m_inputBlocker;
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
