#include "jobs/PictureSaver.h"

#include <system_error>

namespace quillet {

PictureSaver::~PictureSaver()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PictureSaver::send(std::function<void(bool)> save)
{
    std::unique_lock lock(m_mutex);
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            // No thread to be had: nothing waits before this save, so it is saved now.
            const bool saving = !m_dropping;
            lock.unlock();
            save(saving);
            return;
        }
    }
    m_waiting.push_back(std::move(save));
    lock.unlock();
    m_changed.notify_all();
}

void PictureSaver::dropWaiting()
{
    const std::lock_guard lock(m_mutex);
    m_dropping = true;
}

void PictureSaver::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_closing || !m_waiting.empty(); });
        if (m_waiting.empty())
            return;
        std::function<void(bool)> save = std::move(m_waiting.front());
        m_waiting.pop_front();
        const bool saving = !m_dropping;
        lock.unlock();
        save(saving);
        save = nullptr; // what it holds (a document's pages) goes before the next one
        lock.lock();
    }
}

} // namespace quillet
