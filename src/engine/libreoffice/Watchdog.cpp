#include "engine/libreoffice/Watchdog_p.h"

namespace quillet::lo {

Watchdog::Watchdog(std::function<void()> onExpiry) : m_onExpiry(std::move(onExpiry)) {}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Watchdog::arm(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_deadline = std::chrono::steady_clock::now() + timeout;
    m_armed = true;
    m_fired = false;
    m_wake.notify_all();
}

void Watchdog::disarm()
{
    std::lock_guard lock(m_mutex);
    m_armed = false;
    m_wake.notify_all();
}

void Watchdog::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_armed) {
            m_wake.wait(lock);
            continue;
        }
        if (std::chrono::steady_clock::now() < m_deadline) {
            m_wake.wait_until(lock, m_deadline);
            continue;
        }
        m_armed = false;
        m_fired = true;
        // The action may block briefly (it signals a process); the caller may disarm meanwhile.
        lock.unlock();
        m_onExpiry();
        lock.lock();
    }
}

} // namespace quillet::lo
