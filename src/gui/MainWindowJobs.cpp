#include "gui/MainWindowJobs.h"

#include "doclist/DocumentList.h"
#include "gui/OptionsPanel.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace quillet {

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

MainWindowJobs::MainWindowJobs(QWidget& window, const MainWindowControls& controls, OptionsPanel& options,
                               DocumentList& list, Dialogs& dialogs)
    : m_c(controls), m_options(options), m_list(list), m_dialogs(dialogs),
      m_inputBlocker(std::make_unique<JobInputBlocker>(window))
{}

MainWindowJobs::~MainWindowJobs()
{
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
}

QStringList MainWindowJobs::documentPaths() const
{
    return m_list.entries();
}

const OptionsSource& MainWindowJobs::jobOptions() const
{
    return m_options;
}

void MainWindowJobs::setOutputFolderText(const QString& text)
{
    m_options.setOutputFolderText(text);
}

void MainWindowJobs::selectAllPages()
{
    m_options.selectAllPages();
}

void MainWindowJobs::setJobControlEnabled(JobControl control, bool enabled)
{
    switch (control) {
    case JobControl::CmdDo:
        m_c.CmdDo->setEnabled(enabled);
        break;
    case JobControl::CmdPicExtract:
        m_c.CmdPicExtract->setEnabled(enabled);
        break;
    case JobControl::txtOutDir:
        m_c.txtOutDir->setEnabled(enabled);
        break;
    case JobControl::txtLog:
        m_c.txtLog->setEnabled(enabled);
        break;
    }
}

void MainWindowJobs::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void MainWindowJobs::showProgress(const QString& text)
{
    m_c.lblProcessing->setText(text);
    m_c.lblProcessing->repaint();
    keepAlive();
}

void MainWindowJobs::keepAlive()
{
    // Paints and window-system traffic; the input blocker drops what the user does meanwhile.
    QCoreApplication::processEvents();
}

void MainWindowJobs::chooseOutputFolder()
{
    m_options.Command2_Click();
}

void MainWindowJobs::chooseLogFile()
{
    m_options.Command1_Click();
}

Dialogs& MainWindowJobs::dialogs()
{
    return m_dialogs;
}

} // namespace quillet
