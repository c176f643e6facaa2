#pragma once

#include <QString>
#include <functional>

namespace quillet {

// Thrown through a document's steps when the office cannot be started at all: no document of the
// job could be done, so the job ends at once instead of failing every document alike.
struct EngineStartFailure
{
    QString description;
};

// Thrown through a document's steps when the job is asked to stop: the document is left unfinished
// and unlogged, and the job ends after the step that was running.
struct JobStopped
{
};

// Runs the steps of a document's work one by one: a step that fails is skipped, its failure
// becomes the pending error (a later failure replaces an earlier one) and the caller goes on.
// At the end the pending error, if any, is what gets logged for the document.
class SkipOnFailure
{
public:
    // Runs the step; returns false when it failed, whatever it threw (EngineStartFailure and
    // JobStopped alone pass through).
    bool run(const std::function<void()>& step);

    bool hasPendingError() const { return m_number != 0; }
    long pendingNumber() const { return m_number; }
    const QString& pendingDescription() const { return m_description; }
    void clear();

private:
    long m_number = 0;
    QString m_description;
};

} // namespace quillet
