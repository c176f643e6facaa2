#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quillet {

// Saves the pictures an office hands over while they are still being written, one after another in
// the order they come, on a thread of its own: the office walks on, and takes up the next document,
// meanwhile. One per lane of a job.
class PictureSaver
{
public:
    PictureSaver() = default;
    // Waits for every save sent.
    ~PictureSaver();
    PictureSaver(const PictureSaver&) = delete;
    PictureSaver& operator=(const PictureSaver&) = delete;

    // Calls save(true) after every save sent before it; save(false) instead once saves are dropped.
    // The saver's thread starts with the first save.
    void send(std::function<void(bool save)> save);
    // Every save not yet begun, and every one sent from now on, is dropped: the job was stopped.
    void dropWaiting();

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void(bool)>> m_waiting;
    bool m_dropping = false;
    bool m_closing = false;
    std::thread m_thread;
};

} // namespace quillet
