#include "cli/TerminalJobWindow.h"

#include "cli/StopSignals.h"
#include "cli/TerminalReport.h"

namespace quillet {

MessageAnswer TerminalDialogs::message(const QString& text, MessageIcon icon, MessageButtons buttons)
{
    if (icon == MessageIcon::Question)
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    m_report.message(text);
    return MessageAnswer::Ok;
}

TerminalJobWindow::TerminalJobWindow(QStringList documents, ConversionOptions options, TerminalReport& report,
                                     const StopSignals& stop)
    : m_documents(std::move(documents)), m_options(std::move(options)), m_report(report), m_dialogs(report),
      m_stop(stop)
{}

void TerminalJobWindow::selectAllPages()
{
    m_options.allPages = true;
    m_options.pageRange = false;
}

void TerminalJobWindow::setBusy(bool busy)
{
    // The frame turns busy once, when its checks have passed and the work begins.
    if (busy)
        m_report.start();
}

void TerminalJobWindow::keepAlive()
{
    m_report.stepDone();
}

void TerminalJobWindow::documentDone(int index, bool failed)
{
    m_report.documentDone(m_documents.at(index), failed);
}

bool TerminalJobWindow::stopRequested()
{
    return m_stop.received() != 0;
}

} // namespace quillet
