#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace quillet {

// Ctrl-C (SIGINT) and SIGTERM for the command line. The first asks the job to stop after its
// current step; a second ends the program at once (the offices' guardians still end the offices).
// Both signals are blocked in the thread that makes this object and in every thread started after
// it, and taken by a thread of its own, so no office call is ever interrupted by them.
class StopSignals
{
public:
    StopSignals();
    ~StopSignals();

    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Runs on the signal thread when the first signal arrives.
    void setOnFirstSignal(std::function<void()> action);
    // The first signal received, 0 while none has come.
    int received() const { return m_received; }

private:
    void watch();

    std::atomic<int> m_received{0};
    std::atomic<bool> m_closing{false};
    std::mutex m_onFirstMutex;
    std::function<void()> m_onFirst;
    std::thread m_thread;
};

} // namespace quillet
