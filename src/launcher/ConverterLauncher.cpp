#include "launcher/ConverterLauncher.h"

#include "launcher/ConverterCommand.h"

#include <algorithm>

namespace quillet {

bool ConverterLauncher::launch(const QString& programFolder, const QString& outputFolderText)
{
    const ConverterCommand command = converterCommand(programFolder, outputFolderText);
    std::unique_ptr<ChildProcess> converter = ChildProcess::start(command.program, command.arguments);
    if (!converter)
        return false;
    forgetEndedOlderOnes();
    m_started.push_back(std::move(converter));
    return true;
}

void ConverterLauncher::stopNewest()
{
    if (!m_started.empty())
        m_started.back()->stop(kStopGraceMs);
}

qint64 ConverterLauncher::newestPid() const
{
    return m_started.empty() ? 0 : m_started.back()->pid();
}

// Reaps converters that have ended, so many clicks in a long session leave no zombies or handles.
void ConverterLauncher::forgetEndedOlderOnes()
{
    m_started.erase(std::remove_if(m_started.begin(), m_started.end(),
                                   [](const std::unique_ptr<ChildProcess>& p) { return !p->isRunning(); }),
                    m_started.end());
}

} // namespace quillet
