#include "cli/StopSignals.h"

#include <csignal>
#include <pthread.h>

namespace quillet {

namespace {

sigset_t StopSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

StopSignals::StopSignals()
{
    const sigset_t set = StopSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    m_thread = std::thread([this] { watch(); });
}

StopSignals::~StopSignals()
{
    m_closing = true;
    if (m_thread.joinable()) {
        // Wakes the watcher, which sees that the program is ending.
        pthread_kill(m_thread.native_handle(), SIGTERM);
        m_thread.join();
    }
}

void StopSignals::setOnFirstSignal(std::function<void()> action)
{
    const std::lock_guard lock(m_onFirstMutex);
    m_onFirst = std::move(action);
}

void StopSignals::watch()
{
    const sigset_t set = StopSet();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        if (m_closing)
            return;
        if (m_received == 0) {
            m_received = signal;
            const std::lock_guard lock(m_onFirstMutex);
            if (m_onFirst)
                m_onFirst();
            continue;
        }
        // Asked twice: end now, as the signal's default does.
        std::signal(signal, SIG_DFL);
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        pthread_kill(pthread_self(), signal);
    }
}

} // namespace quillet
