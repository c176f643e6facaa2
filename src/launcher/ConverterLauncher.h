#pragma once

// Starts the picture converter on the output folder and stops the newest one when the main window
// closes. Each start is remembered by its process handle, never by a bare process number, so the
// stop can only reach a converter this launcher started.

#include "platform/ChildProcess.h"

#include <QString>
#include <memory>
#include <vector>

namespace quillet {

class ConverterLauncher
{
public:
    // How long a converter may take to stop its office engine before it is killed.
    static constexpr int kStopGraceMs = 5000;

    // Starts the converter found in programFolder on outputFolderText, without waiting for it.
    // A start that fails changes nothing. Returns whether the converter started.
    bool launch(const QString& programFolder, const QString& outputFolderText);

    // Stops the converter started last, if it is still running. Older ones are left alone.
    void stopNewest();

    // The process id of the converter started last; 0 when none was started.
    qint64 newestPid() const;

    // Every converter this launcher still holds a handle on, oldest first.
    const std::vector<std::unique_ptr<ChildProcess>>& started() const { return m_started; }

private:
    void forgetEndedOlderOnes();

    std::vector<std::unique_ptr<ChildProcess>> m_started;
};

} // namespace quillet
