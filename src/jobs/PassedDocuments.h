#pragma once

#include "jobs/DocumentPass.h"

#include <deque>
#include <functional>
#include <utility>

namespace quillet {

class JobLog;
class PictureSaver;

// The documents an office is done with, whose pictures may still be being saved while the office
// takes up the next ones. They end in the order they were taken up, each once its pictures are
// saved: its failure logged, and `ended` told how it went. A document whose pictures were dropped
// (the job was stopped) is not told.
class PassedDocuments
{
public:
    // stopRequested is asked while waiting for pictures; true drops those not yet begun.
    PassedDocuments(JobLog& log, PictureSaver& saver, std::function<bool()> stopRequested,
                    std::function<void(int index, PassEnd end)> ended);

    // Ends the documents whose pictures are saved, from the oldest on, and waits for the oldest while
    // too many wait.
    void hold(int index, PassOutcome outcome);
    void endAll();

private:
    void endOldest();

    JobLog& m_log;
    PictureSaver& m_saver;
    const std::function<bool()> m_stopRequested;
    const std::function<void(int, PassEnd)> m_ended;
    std::deque<std::pair<int, PassOutcome>> m_waiting;
};

} // namespace quillet
