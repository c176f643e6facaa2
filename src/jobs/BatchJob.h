#pragma once

#include "jobs/JobObserver.h"

#include <QString>

namespace quillet {

class JobWindow;
class OfficeEngine;
class TextViewer;
struct JobKind;

// The window's side of both batch jobs: check the input, lock the window, run the documents through
// the job runner on one office with the progress shown, then report and offer the log. However the
// job ends, the locked controls come back and the office is quit.
class BatchJob : private JobObserver
{
public:
    BatchJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer);

    void run(const JobKind& kind);

private:
    bool checkInput(const JobKind& kind);
    void lock();
    void unlock();
    void endEarly(const QString& message, bool errorLogged);
    void offerLog();
    void inform(const QString& text);

    void documentStarted(int index) override;
    void stepDone() override;

    JobWindow& m_window;
    OfficeEngine& m_engine;
    TextViewer& m_viewer;
};

} // namespace quillet
