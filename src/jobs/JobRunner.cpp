#include "jobs/JobRunner.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "jobs/ConversionOptions.h"
#include "jobs/JobLog.h"
#include "jobs/JobObserver.h"
#include "jobs/SkipOnFailure.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillet {

JobObserver::~JobObserver() = default;

namespace {

// Quits a lane's engine application on every way out.
class ApplicationOfJob
{
public:
    explicit ApplicationOfJob(std::unique_ptr<OfficeApplication> app) : m_app(std::move(app)) {}
    ~ApplicationOfJob() { quit(); }
    OfficeApplication& operator*() const { return *m_app; }
    void quit()
    {
        if (!m_app)
            return;
        try {
            m_app->Quit();
        } catch (...) {
            // The backend's destructor ends the process all the same.
        }
        m_app.reset();
    }

private:
    std::unique_ptr<OfficeApplication> m_app;
};

std::unique_ptr<ApplicationOfJob> CreateApplication(OfficeEngine& engine)
{
    std::unique_ptr<OfficeApplication> app;
    try {
        app = engine.CreateApplication();
    } catch (...) {
        throw EngineStartFailure{EngineError::fromCurrentException().description()};
    }
    if (!app)
        throw EngineStartFailure{QStringLiteral("引擎没有返回应用程序对象。")};
    // Grammar checking only slows the job down; a backend that cannot switch it off still works.
    try {
        app->Options().setCheckGrammarAsYouType(false);
        app->Options().setCheckGrammarWithSpelling(false);
    } catch (...) {
    }
    return std::make_unique<ApplicationOfJob>(std::move(app));
}

// The options read one call at a time: the workers of several lanes read them for every page.
class SerialOptions : public OptionsSource
{
public:
    SerialOptions(const OptionsSource& options, std::mutex& mutex) : m_options(options), m_mutex(mutex) {}
    ConversionOptions options() const override
    {
        const std::lock_guard lock(m_mutex);
        return m_options.options();
    }

private:
    const OptionsSource& m_options;
    std::mutex& m_mutex;
};

// What the lanes of one job share: the observer, the next document and how the job ends.
struct Lanes
{
    Lanes(const QStringList& documents, const OptionsSource& options, JobObserver& observer)
        : documents(documents), options(options, mutex), observer(observer)
    {}

    // The first way out other than a stop decides how the job ended; every way out ends the others.
    void endWith(JobResult::End how, const QString& why)
    {
        const std::lock_guard lock(mutex);
        if (end == JobResult::End::Finished || (end == JobResult::End::Stopped && how != end)) {
            end = how;
            reason = why;
        }
    }
    // Called with the mutex held.
    bool mustStop() { return end != JobResult::End::Finished || observer.stopRequested(); }

    std::mutex mutex; // one observer call at a time, and the fields below
    const QStringList& documents;
    SerialOptions options;
    JobObserver& observer;
    int next = 0;
    JobResult::End end = JobResult::End::Finished;
    QString reason;
    int done = 0;
    int failed = 0;
    bool logged = false;
};

// One lane's share of the job: the next document of the list until none is left, then quit.
void RunLane(const JobKind& kind, ApplicationOfJob& app, Lanes& lanes)
{
    JobLog log(lanes.options);
    const std::function<void()> keepAlive = [&lanes] {
        const std::lock_guard lock(lanes.mutex);
        lanes.observer.stepDone();
        if (lanes.mustStop())
            throw JobStopped{};
    };
    try {
        for (;;) {
            int index = 0;
            {
                const std::lock_guard lock(lanes.mutex);
                if (lanes.next >= lanes.documents.size())
                    break;
                if (lanes.mustStop())
                    throw JobStopped{};
                index = lanes.next++;
                lanes.observer.documentStarted(index);
            }
            const int recordsBefore = log.records();
            kind.worker(*app, lanes.documents.at(index), lanes.options, log, keepAlive);
            const std::lock_guard lock(lanes.mutex);
            const bool failed = log.records() > recordsBefore;
            ++(failed ? lanes.failed : lanes.done);
            lanes.observer.documentEnded(index, failed ? DocumentEnd::Failed : DocumentEnd::Done);
        }
    } catch (const JobStopped&) {
        lanes.endWith(JobResult::End::Stopped, QString());
    } catch (const EngineStartFailure& failure) {
        lanes.endWith(JobResult::End::EngineNotStarted, failure.description);
    } catch (...) {
        // Workers never throw; this is the observer failing under the job.
        lanes.endWith(JobResult::End::Aborted, EngineError::fromCurrentException().description());
    }
    app.quit();
    const std::lock_guard lock(lanes.mutex);
    lanes.logged = lanes.logged || log.errorLogged();
}

// Waits for the lanes' threads on every way out.
struct LaneThreads
{
    std::vector<std::thread> threads;
    ~LaneThreads()
    {
        for (std::thread& thread : threads)
            thread.join();
    }
};

} // namespace

JobRunner::JobRunner(OfficeEngine& engine, const OptionsSource& options, JobObserver& observer)
    : m_engine(engine), m_options(options), m_observer(observer)
{}

JobResult JobRunner::run(const JobKind& kind, const QStringList& documents, int lanes)
{
    JobResult result;
    try {
        std::vector<std::unique_ptr<ApplicationOfJob>> apps;
        for (qsizetype i = std::clamp<qsizetype>(lanes, 1, std::max<qsizetype>(documents.size(), 1)); i > 0;
             --i)
            apps.push_back(CreateApplication(m_engine));
        Lanes shared(documents, m_options, m_observer);
        {
            LaneThreads others;
            for (std::size_t i = 1; i < apps.size(); ++i) {
                try {
                    others.threads.emplace_back(
                        [&kind, &app = *apps[i], &shared] { RunLane(kind, app, shared); });
                } catch (const std::system_error&) {
                    break; // fewer lanes share the documents
                }
            }
            RunLane(kind, *apps.front(), shared);
        }
        result.end = shared.end;
        result.reason = shared.reason;
        result.done = shared.done;
        result.failed = shared.failed;
        result.logged = shared.logged;
    } catch (const EngineStartFailure& failure) {
        result.end = JobResult::End::EngineNotStarted;
        result.reason = failure.description;
    } catch (...) {
        result.end = JobResult::End::Aborted;
        result.reason = EngineError::fromCurrentException().description();
    }
    return result;
}

} // namespace quillet
