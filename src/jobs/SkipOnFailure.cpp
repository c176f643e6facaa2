#include "jobs/SkipOnFailure.h"

#include "engine/EngineError.h"
#include "jobs/PictureSaver.h"

#include <condition_variable>
#include <mutex>

namespace quillet {

struct SkipOnFailure::Failures
{
    // The next step's place in the order of steps.
    int take()
    {
        const std::lock_guard lock(mutex);
        return ++steps;
    }
    // A failure replaces the pending one unless that is of a later step.
    void fail(int step, const EngineError& error)
    {
        const std::lock_guard lock(mutex);
        if (step < failedStep)
            return;
        failedStep = step;
        number = error.number();
        description = error.description();
    }

    mutable std::mutex mutex;
    mutable std::condition_variable laterEnded;
    int steps = 0;
    int failedStep = 0;
    long number = 0;
    QString description;
    int later = 0; // steps sent to run later that have not ended
    bool dropped = false;
};

SkipOnFailure::SkipOnFailure(PictureSaver* saver) : m_failures(std::make_shared<Failures>()), m_saver(saver) {}

bool SkipOnFailure::run(const std::function<void()>& step)
{
    const int place = m_failures->take();
    try {
        step();
        return true;
    } catch (const EngineStartFailure&) {
        throw;
    } catch (const JobStopped&) {
        throw;
    } catch (...) {
        m_failures->fail(place, EngineError::fromCurrentException());
    }
    return false;
}

void SkipOnFailure::runLater(std::function<void()> step)
{
    if (!m_saver) {
        run(step);
        return;
    }
    const int place = m_failures->take();
    {
        const std::lock_guard lock(m_failures->mutex);
        ++m_failures->later;
    }
    m_saver->send([failures = m_failures, place, step = std::move(step)](bool save) {
        if (save) {
            try {
                step();
            } catch (...) {
                failures->fail(place, EngineError::fromCurrentException());
            }
        }
        {
            const std::lock_guard lock(failures->mutex);
            --failures->later;
            failures->dropped = failures->dropped || !save;
        }
        failures->laterEnded.notify_all();
    });
}

bool SkipOnFailure::laterEnded(std::chrono::milliseconds within) const
{
    std::unique_lock lock(m_failures->mutex);
    return m_failures->laterEnded.wait_for(lock, within, [this] { return m_failures->later == 0; });
}

bool SkipOnFailure::laterDropped() const
{
    const std::lock_guard lock(m_failures->mutex);
    return m_failures->dropped;
}

bool SkipOnFailure::hasPendingError() const
{
    return pendingNumber() != 0;
}

long SkipOnFailure::pendingNumber() const
{
    const std::lock_guard lock(m_failures->mutex);
    return m_failures->number;
}

QString SkipOnFailure::pendingDescription() const
{
    const std::lock_guard lock(m_failures->mutex);
    return m_failures->description;
}

} // namespace quillet
