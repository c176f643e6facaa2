#pragma once

// One private LibreOffice process and the UNO connection to it.
//
// The office runs in its own process group with its own profile folder and pipe, watched by a tiny
// guardian process that kills the group and removes the profile when our program ends without
// stopping it (crash, SIGKILL). Every remote call goes through guarded(): a watchdog kills a hung
// office after a deadline, and UNO exceptions become EngineError with a description a user reads.

#include "engine/EngineError.h"
#include "engine/libreoffice/SessionSettings.h"

#include <QString>
#include <chrono>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <exception>
#include <memory>

namespace quillet::lo {

namespace css = com::sun::star;

class LibreOfficeSession
{
public:
    explicit LibreOfficeSession(SessionSettings settings = {}); // cheap: starts nothing
    ~LibreOfficeSession();                                      // stop(): no office, no profile left

    LibreOfficeSession(const LibreOfficeSession&) = delete;
    LibreOfficeSession& operator=(const LibreOfficeSession&) = delete;

    // Starts the private office and connects to it, unless it is already running and answering.
    // Throws EngineError (EngineUnavailable) when it cannot be started.
    void ensureStarted();

    // The office's component context and desktop; both call ensureStarted().
    css::uno::Reference<css::uno::XComponentContext> context();
    css::uno::Reference<css::frame::XDesktop2> desktop();
    // The same of the office running now; EngineError(EngineDied) when it is gone. Work on a document
    // uses these: a new office must not be started under a document whose office has ended.
    css::uno::Reference<css::uno::XComponentContext> runningContext();
    css::uno::Reference<css::frame::XDesktop2> runningDesktop();

    // Runs call(). If it has not returned after `deadline`, the office is killed and
    // EngineError(EngineTimeout) is thrown. UNO exceptions become EngineError: a lost office
    // EngineDied, anything else OperationFailed. Calls nested in a guarded call run under the
    // outer deadline.
    template <class F> auto guarded(std::chrono::milliseconds deadline, F&& call) -> decltype(call());

    // baseDeadline + pages * perPageAllowance.
    std::chrono::milliseconds deadlineFor(int pages) const;

    const SessionSettings& settings() const { return m_settings; }
    // The office process is alive and the connection to it is open.
    bool running() const;
    // Process id of the office (its process group), 0 when none runs.
    qint64 pid() const;
    // The private profile folder of the running office, empty when none runs.
    QString profileDir() const;
    // Number of times an office process was started by this session.
    int starts() const;
    // Throws EngineError(EngineDied) unless the office of start number `start` is still running.
    void requireOffice(int start) const;

    // Asks the office to end, kills it when it does not, removes the profile. Safe to repeat.
    void stop();

    struct Private;

private:
    // Arms the watchdog for the outermost guarded call; nested calls leave it as it is.
    class GuardScope
    {
    public:
        GuardScope(LibreOfficeSession& session, std::chrono::milliseconds deadline);
        ~GuardScope();

    private:
        LibreOfficeSession& m_session;
        bool m_outermost;
    };

    // Turns the exception being handled into an EngineError; called from a catch block only.
    [[noreturn]] void rethrowAsEngineError(std::exception_ptr error);

    SessionSettings m_settings;
    std::unique_ptr<Private> m_d;
};

template <class F>
auto LibreOfficeSession::guarded(std::chrono::milliseconds deadline, F&& call) -> decltype(call())
{
    GuardScope scope(*this, deadline);
    try {
        return call();
    } catch (...) {
        rethrowAsEngineError(std::current_exception());
    }
}

} // namespace quillet::lo
