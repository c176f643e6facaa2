#include "jobs/PassedDocuments.h"

#include "jobs/PictureSaver.h"

#include <chrono>

namespace quillet {

namespace {

// Documents waiting for their pictures at most, while the office goes on: enough for the pages of a
// long document to be written while the office takes up several short ones after it.
constexpr std::size_t kDocumentsWaiting = 8;
// How often waiting for a document's pictures looks whether the job is to stop.
constexpr std::chrono::milliseconds kStopPoll{100};

} // namespace

PassedDocuments::PassedDocuments(JobLog& log, PictureSaver& saver, std::function<bool()> stopRequested,
                                 std::function<void(int, PassEnd)> ended)
    : m_log(log), m_saver(saver), m_stopRequested(std::move(stopRequested)), m_ended(std::move(ended))
{}

void PassedDocuments::hold(int index, PassOutcome outcome)
{
    m_waiting.emplace_back(index, std::move(outcome));
    while (!m_waiting.empty() &&
           (m_waiting.size() > kDocumentsWaiting || m_waiting.front().second.saved(std::chrono::milliseconds(0))))
        endOldest();
}

void PassedDocuments::endAll()
{
    while (!m_waiting.empty())
        endOldest();
}

void PassedDocuments::endOldest()
{
    const auto [index, outcome] = std::move(m_waiting.front());
    m_waiting.pop_front();
    while (!outcome.saved(kStopPoll)) {
        if (m_stopRequested())
            m_saver.dropWaiting();
    }
    const PassEnd end = outcome.end(m_log);
    if (end != PassEnd::Unfinished)
        m_ended(index, end);
}

} // namespace quillet
