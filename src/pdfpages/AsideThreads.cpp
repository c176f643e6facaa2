#include "pdfpages/AsideThreads_p.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#ifdef __linux__
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace quillet::pdfpages {

namespace {

// Steps of niceness below the office's: enough that its threads get nearly all of a core they
// share with a writer's.
constexpr int kNiceness = 10;

class AsideThreads
{
public:
    ~AsideThreads()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    std::shared_future<PagePicture> send(std::function<PagePicture()> work)
    {
        std::packaged_task<PagePicture()> task(std::move(work));
        std::shared_future<PagePicture> done = task.get_future().share();
        std::unique_lock lock(m_mutex);
        if (m_threads.size() < asideThreadCount()) {
            try {
                m_threads.emplace_back([this] { run(); });
            } catch (const std::system_error&) {
                if (m_threads.empty()) {
                    lock.unlock();
                    task();
                    return done;
                }
            }
        }
        m_waiting.push_back(std::move(task));
        lock.unlock();
        m_changed.notify_one();
        return done;
    }

private:
    void run()
    {
        runBehindTheOffice();
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
            if (m_waiting.empty())
                return;
            std::packaged_task<PagePicture()> task = std::move(m_waiting.front());
            m_waiting.pop_front();
            lock.unlock();
            task();
            task = {}; // what the work held (a raster) goes now
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::packaged_task<PagePicture()>> m_waiting;
    std::vector<std::thread> m_threads;
    bool m_stopping = false;
};

} // namespace

std::size_t asideThreadCount()
{
    return std::max(1u, std::thread::hardware_concurrency());
}

void runBehindTheOffice()
{
#ifdef __linux__
    // This thread only, on Linux; from the niceness of the program's main thread.
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, id_t(getpid()));
    if (errno == 0)
        setpriority(PRIO_PROCESS, id_t(gettid()), std::min(niceness + kNiceness, 19));
#endif
}

std::shared_future<PagePicture> finishAside(std::function<PagePicture()> work)
{
    static AsideThreads threads;
    return threads.send(std::move(work));
}

} // namespace quillet::pdfpages
