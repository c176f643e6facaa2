#pragma once

#include "jobs/JobObserver.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <mutex>

namespace quillet {

// The command line's watch over a job: a progress bar on standard error when that is a terminal,
// one line per document on standard output when that is not, and the job's messages on standard
// error. Safe to call from any thread.
class TerminalReport : public JobObserver
{
public:
    // workUnit names what the workers step through ("页"); stop tells whether the user asked for a stop.
    TerminalReport(QStringList documents, const QString& workUnit, bool bar, bool lines,
                   std::function<bool()> stop);

    // Both streams as the program found them: bar when stderr is a terminal, lines when stdout is not.
    static TerminalReport forStandardStreams(QStringList documents, const QString& workUnit,
                                             std::function<bool()> stop);

    // The job has passed its checks: the clock starts and the bar appears.
    void start();
    void stepDone() override;
    void documentEnded(int index, DocumentEnd end) override;
    bool stopRequested() override { return m_stop(); }
    // A line on standard error, "quillet: " first; a bar on screen is cleared for it.
    void message(const QString& text);
    // Ends the bar's line, so that what follows starts on a line of its own.
    void finish();

    // "剩余 1:05:03" style time from seconds; "--:--" when unknown (negative).
    static QString clockText(qint64 seconds);

private:
    void drawBar();
    QString barLine(int columns) const;

    const QStringList m_documents;
    const QString m_workUnit;
    const bool m_bar;
    const bool m_lines;
    const std::function<bool()> m_stop;
    std::mutex m_mutex;
    QElapsedTimer m_clock;
    qint64 m_lastDraw = -1;
    bool m_barOnScreen = false;
    int m_done = 0;
    int m_failed = 0;
    qint64 m_steps = 0;
};

// Writes text in the system's character set, as the log does, and flushes.
void WriteTo(std::FILE* stream, const QString& text);

} // namespace quillet
