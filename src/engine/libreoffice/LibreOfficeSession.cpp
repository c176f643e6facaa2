#include "engine/libreoffice/LibreOfficeSession_p.h"
#include "engine/libreoffice/LoUno_p.h"
#include "engine/libreoffice/OfficeProcess_p.h"
#include "engine/libreoffice/OfficeProfileSettings_p.h"
#include "engine/libreoffice/Watchdog_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <csignal>
#include <mutex>
#include <rtl/bootstrap.hxx>
#include <thread>
#include <unistd.h>

namespace quillet::lo {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

// The socket file behind an office pipe of this user: the office's pipe layer keeps them in /tmp.
QString officePipeSocket(const QString& pipeName)
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
}

// Time a polite terminate may take before the office is killed.
constexpr std::chrono::milliseconds terminateDeadline{15000};
constexpr std::chrono::milliseconds exitWait{5000};

// Notices when the connection to the office closes (the office ended or was killed).
class BridgeListener : public cppu::WeakImplHelper1<css::lang::XEventListener>
{
public:
    explicit BridgeListener(std::shared_ptr<std::atomic<bool>> closed) : m_closed(std::move(closed)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { *m_closed = true; }

private:
    std::shared_ptr<std::atomic<bool>> m_closed;
};

// The UNO runtime of our own process: bootstrapped once, kept for the program's life.
Reference<css::uno::XComponentContext> localContext(const QString& programDir)
{
    static std::mutex mutex;
    static Reference<css::uno::XComponentContext> context;
    std::lock_guard lock(mutex);
    if (!context.is()) {
        // Without this the local runtime cannot find the office's type libraries and services.
        rtl::Bootstrap::set(
            "URE_BOOTSTRAP",
            toOUString(QStringLiteral("vnd.sun.star.pathname:%1/fundamentalrc").arg(programDir)));
        context = cppu::defaultBootstrap_InitialComponentContext();
    }
    return context;
}

// UNO messages end with the source location that raised them (" at ./sw/source/...:123"): not for users.
QString userMessage(const OUString& message)
{
    QString text = toQString(message);
    // A source location tells a user nothing, and some messages are nothing else.
    const int at = text.indexOf(QRegularExpression(QStringLiteral("(^|\\s)at \\.?/")));
    text = (at >= 0 ? text.left(at) : text).trimmed();
    return text.isEmpty() ? QStringLiteral("LibreOffice没有说明原因") : text;
}

EngineError officeEnded()
{
    return EngineError(ErrorNumber::EngineDied, QStringLiteral("LibreOffice进程意外结束，操作没有完成"));
}

QString unavailable(const QString& why)
{
    return QStringLiteral("无法启动LibreOffice：%1").arg(why);
}

// The connection to the office is a pipe written with plain writes: a write that races the office's
// death would end our whole program with SIGPIPE. Ignoring it turns that into a failed call, which
// the session reports like any other loss of the office.
void ignoreBrokenPipes()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

} // namespace

struct LibreOfficeSession::Private
{
    OfficeProcess process;
    Watchdog watchdog{[this] { process.killGroup(); }};
    int guardDepth = 0;
    std::chrono::milliseconds guardDeadline{0};

    QString profileDir;
    Reference<css::lang::XComponent> bridge;
    std::shared_ptr<std::atomic<bool>> bridgeClosed;
    Reference<css::uno::XComponentContext> remoteContext;
    Reference<css::frame::XDesktop2> desktop;
    int starts = 0;

    bool connected() const { return bridge.is() && bridgeClosed && !*bridgeClosed; }

    // Drops the connection, ends whatever is left of the process and removes the profile.
    void discard()
    {
        desktop.clear();
        remoteContext.clear();
        process.killGroup();
        if (bridge.is()) {
            try {
                bridge->dispose();
            } catch (const css::uno::Exception&) {
                // The connection is gone either way.
            }
            bridge.clear();
        }
        bridgeClosed.reset();
        process.finish();
        if (!profileDir.isEmpty()) {
            QDir(profileDir).removeRecursively();
            // A killed office cannot remove its pipe's socket file; named after the profile folder.
            QFile::remove(officePipeSocket(QFileInfo(profileDir).fileName()));
            profileDir.clear();
        }
    }
};

LibreOfficeSession::LibreOfficeSession(SessionSettings settings)
    : m_settings(std::move(settings)), m_d(std::make_unique<Private>())
{}

LibreOfficeSession::~LibreOfficeSession()
{
    stop();
}

void LibreOfficeSession::ensureStarted()
{
    if (running())
        return;
    m_d->discard();

    const QString soffice = m_settings.programDir + QStringLiteral("/soffice");
    if (!QFileInfo(soffice).isExecutable())
        throw EngineError(ErrorNumber::EngineUnavailable,
                          unavailable(QStringLiteral("找不到%1").arg(soffice)));

    ignoreBrokenPipes();
    Reference<css::uno::XComponentContext> local;
    try {
        local = localContext(m_settings.programDir);
    } catch (const css::uno::Exception& e) {
        throw EngineError(ErrorNumber::EngineUnavailable, unavailable(userMessage(e.Message)));
    }

    const QString profile = QDir::temp().filePath(QStringLiteral("quillet-lo-%1-%2")
                                                      .arg(QCoreApplication::applicationPid())
                                                      .arg(QRandomGenerator::global()->generate64(), 0, 36));
    if (!QDir().mkpath(profile))
        throw EngineError(ErrorNumber::EngineUnavailable,
                          unavailable(QStringLiteral("无法创建临时文件夹%1").arg(profile)));
    m_d->profileDir = profile;
    // The office's own temporary folder (lu*.tmp) goes inside the profile, so that it is removed with
    // it even when the office cannot remove it itself, as after a crash or the watchdog's kill.
    const QString officeTemp = profile + QStringLiteral("/tmp");
    if (!QDir().mkpath(officeTemp) || !writeOfficeProfileSettings(profile, m_settings.programDir)) {
        m_d->discard();
        throw EngineError(ErrorNumber::EngineUnavailable,
                          unavailable(QStringLiteral("无法写入临时文件夹%1").arg(profile)));
    }
    const QString pipeName = QFileInfo(profile).fileName();
    const QStringList arguments{
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName),
        QStringLiteral("-env:UserInstallation=%1")
            .arg(QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded)),
    };
    QString error;
    if (!m_d->process.start(soffice, arguments, {QStringLiteral("TMPDIR=") + officeTemp}, profile, &error)) {
        m_d->discard();
        throw EngineError(ErrorNumber::EngineUnavailable, unavailable(error));
    }

    // The office needs a moment before its pipe answers; the watchdog ends a start that hangs.
    // Inside a guarded call the caller's deadline governs the start as well.
    const bool ownWatch = m_d->guardDepth == 0;
    const auto deadline = std::chrono::steady_clock::now() + m_settings.startDeadline;
    if (ownWatch)
        m_d->watchdog.arm(m_settings.startDeadline);
    try {
        auto connector = css::connection::Connector::create(local);
        Reference<css::connection::XConnection> connection;
        while (!connection.is()) {
            try {
                connection = connector->connect(toOUString(QStringLiteral("pipe,name=") + pipeName));
            } catch (const css::connection::NoConnectException&) {
                if (!m_d->process.alive() || std::chrono::steady_clock::now() >= deadline)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        if (!connection.is()) {
            const bool ended = !m_d->process.alive();
            if (ownWatch)
                m_d->watchdog.disarm();
            m_d->discard();
            throw EngineError(ErrorNumber::EngineUnavailable,
                              unavailable(ended ? QStringLiteral("LibreOffice启动后立即退出")
                                                : QStringLiteral("LibreOffice在规定时间内没有响应")));
        }
        auto bridge =
            css::bridge::BridgeFactory::create(local)->createBridge(OUString(), "urp", connection, nullptr);
        m_d->bridge.set(bridge, UNO_QUERY_THROW);
        m_d->bridgeClosed = std::make_shared<std::atomic<bool>>(false);
        m_d->bridge->addEventListener(new BridgeListener(m_d->bridgeClosed));
        m_d->remoteContext.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
        m_d->desktop = css::frame::Desktop::create(m_d->remoteContext);
    } catch (const css::uno::Exception& e) {
        const bool timedOut = m_d->watchdog.fired();
        if (ownWatch)
            m_d->watchdog.disarm();
        m_d->discard();
        throw EngineError(ErrorNumber::EngineUnavailable,
                          unavailable(timedOut ? QStringLiteral("LibreOffice在规定时间内没有响应")
                                               : userMessage(e.Message)));
    }
    if (ownWatch)
        m_d->watchdog.disarm();
    ++m_d->starts;
}

Reference<css::uno::XComponentContext> LibreOfficeSession::context()
{
    ensureStarted();
    return m_d->remoteContext;
}

Reference<css::frame::XDesktop2> LibreOfficeSession::desktop()
{
    ensureStarted();
    return m_d->desktop;
}

Reference<css::uno::XComponentContext> LibreOfficeSession::runningContext()
{
    if (!running())
        throw officeEnded();
    return m_d->remoteContext;
}

Reference<css::frame::XDesktop2> LibreOfficeSession::runningDesktop()
{
    if (!running())
        throw officeEnded();
    return m_d->desktop;
}

std::chrono::milliseconds LibreOfficeSession::deadlineFor(int pages) const
{
    return m_settings.baseDeadline + std::max(pages, 0) * m_settings.perPageAllowance;
}

bool LibreOfficeSession::running() const
{
    return m_d->connected() && m_d->process.alive();
}

qint64 LibreOfficeSession::pid() const
{
    return m_d->process.pid();
}

QString LibreOfficeSession::profileDir() const
{
    return m_d->profileDir;
}

int LibreOfficeSession::starts() const
{
    return m_d->starts;
}

void LibreOfficeSession::requireOffice(int start) const
{
    if (!running() || m_d->starts != start)
        throw officeEnded();
}

void LibreOfficeSession::stop()
{
    if (running()) {
        try {
            guarded(terminateDeadline, [this] { m_d->desktop->terminate(); });
        } catch (const EngineError&) {
            // Killed below if it is still there.
        }
        m_d->process.waitForExit(exitWait);
    }
    m_d->discard();
}

LibreOfficeSession::GuardScope::GuardScope(LibreOfficeSession& session, std::chrono::milliseconds deadline)
    : m_session(session), m_outermost(session.m_d->guardDepth++ == 0)
{
    if (m_outermost) {
        m_session.m_d->guardDeadline = deadline;
        m_session.m_d->watchdog.arm(deadline);
    }
}

LibreOfficeSession::GuardScope::~GuardScope()
{
    --m_session.m_d->guardDepth;
    if (m_outermost)
        m_session.m_d->watchdog.disarm();
}

void LibreOfficeSession::rethrowAsEngineError(std::exception_ptr error)
{
    const auto timedOut = [this] {
        m_d->discard();
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_d->guardDeadline).count();
        return EngineError(ErrorNumber::EngineTimeout,
                           QStringLiteral("LibreOffice在%1秒内没有完成操作，已被强制结束").arg(seconds));
    };
    const auto died = [this] {
        m_d->discard();
        return officeEnded();
    };
    const auto officeLost = [this] { return !m_d->connected() || !m_d->process.alive(); };
    // A call through a closed connection fails with DisposedException from that connection's bridge:
    // the current one (the office ended) or an earlier one (an object left from an office that ended
    // before, which must not end the office now running).
    enum class Origin
    {
        Object,
        CurrentBridge,
        EarlierBridge
    };
    const auto originOf = [this](const Reference<css::uno::XInterface>& context) {
        try {
            if (!Reference<css::bridge::XBridge>(context, UNO_QUERY).is())
                return Origin::Object;
            return Reference<css::uno::XInterface>(m_d->bridge, UNO_QUERY) == context ? Origin::CurrentBridge
                                                                                      : Origin::EarlierBridge;
        } catch (const css::uno::Exception&) {
            return Origin::Object;
        }
    };

    try {
        std::rethrow_exception(error);
    } catch (const EngineError& e) {
        if (m_d->watchdog.fired() && e.number() != ErrorNumber::EngineTimeout)
            throw timedOut();
        throw;
    } catch (const css::lang::DisposedException& e) {
        if (m_d->watchdog.fired())
            throw timedOut();
        const Origin origin = originOf(e.Context);
        if (origin == Origin::EarlierBridge)
            throw EngineError(ErrorNumber::EngineDied,
                              QStringLiteral("打开这个文档的LibreOffice进程已经结束"));
        if (origin == Origin::CurrentBridge || officeLost())
            throw died();
        throw EngineError(
            ErrorNumber::OperationFailed,
            QStringLiteral("LibreOffice操作失败：对象已关闭（%1）").arg(userMessage(e.Message)));
    } catch (const css::uno::RuntimeException& e) {
        if (m_d->watchdog.fired())
            throw timedOut();
        if (officeLost())
            throw died();
        throw EngineError(ErrorNumber::OperationFailed,
                          QStringLiteral("LibreOffice操作失败：%1").arg(userMessage(e.Message)));
    } catch (const css::uno::Exception& e) {
        if (m_d->watchdog.fired())
            throw timedOut();
        throw EngineError(ErrorNumber::OperationFailed,
                          QStringLiteral("LibreOffice操作失败：%1").arg(userMessage(e.Message)));
    } catch (const std::exception& e) {
        if (m_d->watchdog.fired())
            throw timedOut();
        throw EngineError(ErrorNumber::OperationFailed,
                          QStringLiteral("程序内部错误：%1").arg(QString::fromLocal8Bit(e.what())));
    }
}

} // namespace quillet::lo
