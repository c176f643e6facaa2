#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace quillet {

class PictureSaver;

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
//
// A step may be sent to run later, on a picture saver's thread: its failure still counts in the
// order the steps were taken, whenever it comes.
class SkipOnFailure
{
public:
    // saver: where runLater() sends its steps; without one they run at once.
    explicit SkipOnFailure(PictureSaver* saver = nullptr);

    // Runs the step; returns false when it failed, whatever it threw (EngineStartFailure and
    // JobStopped alone pass through).
    bool run(const std::function<void()>& step);
    // Sends the step to the saver, after the steps sent there before.
    void runLater(std::function<void()> step);
    // True once every step sent to run later has ended, waiting up to `within` for them.
    bool laterEnded(std::chrono::milliseconds within) const;
    // True when the saver dropped a step sent to run later (the job was stopped).
    bool laterDropped() const;

    // What failed last, in the order of the steps; meaningful once the steps sent later have ended.
    bool hasPendingError() const;
    long pendingNumber() const;
    QString pendingDescription() const;

private:
    struct Failures;
    std::shared_ptr<Failures> m_failures; // shared with the steps sent to run later
    PictureSaver* m_saver;
};

} // namespace quillet
