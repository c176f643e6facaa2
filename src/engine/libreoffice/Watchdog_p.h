#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace quillet::lo {

// Runs an action on its own thread when a call has not finished by its deadline. The thread is
// started on first use and lives until the watchdog is destroyed.
class Watchdog
{
public:
    explicit Watchdog(std::function<void()> onExpiry);
    ~Watchdog();

    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts a watch; the action runs once if disarm() has not been called within `timeout`.
    void arm(std::chrono::milliseconds timeout);
    void disarm();
    // The action ran for the current (or last) watch.
    bool fired() const { return m_fired; }

private:
    void run();

    std::function<void()> m_onExpiry;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_armed = false;
    bool m_quit = false;
    std::atomic<bool> m_fired{false};
};

} // namespace quillet::lo
