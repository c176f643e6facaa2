#pragma once

namespace quillet {

// How a document of a job ended.
enum class DocumentEnd
{
    Done,        // its pass ended without a log line
    Failed,      // it has its log line
    NotAttempted // no office was left to take it up; it has its log line too
};

// What the job runner tells while it works, and asks: the window's driver and the command line
// each watch a job through one. With several offices the calls come from their threads, one call
// at a time.
class JobObserver
{
public:
    virtual ~JobObserver();

    // The document (index from 0) is taken up.
    virtual void documentStarted(int /*index*/) {}
    // A page or object of the document in hand is done.
    virtual void stepDone() {}
    // A document that was taken up has ended, or one that never was is given up. A document the job
    // stopped in the middle of is not reported.
    virtual void documentEnded(int /*index*/, DocumentEnd /*end*/) {}
    // Asked before every document and after every page or object: true ends the job after the
    // current step.
    virtual bool stopRequested() { return false; }
};

} // namespace quillet
