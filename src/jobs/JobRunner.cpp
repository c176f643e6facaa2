#include "jobs/JobRunner.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "jobs/ConversionOptions.h"
#include "jobs/FilePrefix.h"
#include "jobs/JobLog.h"
#include "jobs/JobObserver.h"
#include "jobs/JobText.h"
#include "jobs/PassedDocuments.h"
#include "jobs/PictureSaver.h"
#include "jobs/SkipOnFailure.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
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

// A document's options: the job's, with the document's own output folder when it has one.
class DocumentOptions : public OptionsSource
{
public:
    DocumentOptions(const OptionsSource& job, QString outputFolder)
        : m_job(job), m_outputFolder(std::move(outputFolder))
    {}
    ConversionOptions options() const override
    {
        ConversionOptions options = m_job.options();
        if (!m_outputFolder.isEmpty())
            options.outputFolder = m_outputFolder;
        return options;
    }

private:
    const OptionsSource& m_job;
    const QString m_outputFolder;
};

// What the lanes of one job share: the observer, the next document, the picture names taken and how
// the job ends.
struct Lanes
{
    Lanes(const QList<JobDocument>& documents, const OptionsSource& jobOptions, JobObserver& observer,
          const QString& pictureExtension)
        : documents(documents), jobOptions(jobOptions), options(jobOptions, mutex), observer(observer),
          log(jobOptions), pictureExtension(pictureExtension)
    {}

    // Called with the mutex held, for the document just taken up: makes its sub-folder (`folder`,
    // empty for the output folder itself) and takes its picture names. Why it cannot be worked on,
    // if it cannot.
    std::optional<QString> prepare(int index, QString& folder)
    {
        const JobDocument& document = documents.at(index);
        const QString outputFolder = jobOptions.options().outputFolder;
        if (!document.subfolder.isEmpty()) {
            folder = outputFolder + document.subfolder + PathSeparator();
            if (!QDir().mkpath(folder))
                return JobText::FolderNotCreated(folder);
        }
        QString names;
        try {
            names =
                OutputNamesPattern(folder.isEmpty() ? outputFolder : folder, document.path, pictureExtension);
        } catch (const EngineError&) {
            return std::nullopt; // no base name, no pictures: the worker logs why
        }
        const auto taken = namesTaken.constFind(names);
        if (taken != namesTaken.cend())
            return JobText::SameNames(documents.at(*taken).path, QFileInfo(names).fileName());
        namesTaken.insert(names, index);
        return std::nullopt;
    }

    // A stop, or the observer failing, ends every lane; the observer's failure outranks a stop.
    void endWith(JobResult::End how, const QString& why)
    {
        const std::lock_guard lock(mutex);
        if (!stop || (*stop == JobResult::End::Stopped && how != *stop)) {
            stop = how;
            stopReason = why;
        }
    }
    // Called with the mutex held.
    bool mustStop() { return stop || observer.stopRequested(); }

    // Called once the lanes have ended. The documents in hand of lanes whose office would not start
    // get their lines, and so do those that no lane took up, unless the job never began or stopped.
    JobResult result()
    {
        JobResult result;
        const bool begun = passes > 0 || lost.empty();
        if (begun) {
            for (const auto& [index, why] : lost) {
                log.record(documents.at(index).path, why);
                ++failed;
                observer.documentEnded(index, DocumentEnd::Failed);
            }
        }
        if (stop) {
            result.end = *stop;
            result.reason = stopReason;
        } else if (!lost.empty()) {
            result.end = begun ? JobResult::End::EngineLost : JobResult::End::EngineNotStarted;
            result.reason = lost.front().second;
            for (int index = next; begun && index < documents.size(); ++index) {
                log.record(documents.at(index).path, JobText::NotAttempted(result.reason));
                ++result.notAttempted;
                observer.documentEnded(index, DocumentEnd::NotAttempted);
            }
        }
        result.done = done;
        result.failed = failed;
        result.logged = logged || log.errorLogged();
        return result;
    }

    std::mutex mutex; // one observer call at a time, and the fields below
    const QList<JobDocument>& documents;
    const OptionsSource& jobOptions; // read with the mutex held
    SerialOptions options;
    JobObserver& observer;
    JobLog log; // the runner's own lines, written with the mutex held or after the lanes
    const QString pictureExtension;
    QHash<QString, int> namesTaken; // picture names pattern -> the document that has them
    int next = 0;
    std::optional<JobResult::End> stop;
    QString stopReason;
    int passes = 0; // documents an office worked on
    int done = 0;
    int failed = 0;
    std::vector<std::pair<int, QString>> lost; // documents in hand when a lane's office would not start
    bool logged = false;
};

// A document's pass, with one more try when its office cannot be started. EngineStartFailure when
// the second try fails too.
PassOutcome RunPass(const JobKind& kind, OfficeApplication& app, const QString& path, const OptionsSource& options,
                    PictureSaver& saver, const std::function<void()>& keepAlive)
{
    for (int attempt = 1;; ++attempt) {
        try {
            return kind.worker(app, path, options, saver, keepAlive);
        } catch (const EngineStartFailure&) {
            if (attempt == 2)
                throw;
        }
    }
}

// One lane's share of the job: the next document of the list until none is left or its office
// cannot be started, then quit.
void RunLane(const JobKind& kind, ApplicationOfJob& app, Lanes& lanes)
{
    JobLog log(lanes.options);
    PictureSaver saver;
    PassedDocuments passed(
        log, saver,
        [&lanes] {
            const std::lock_guard lock(lanes.mutex);
            return lanes.mustStop();
        },
        [&lanes](int index, PassEnd end) {
            const std::lock_guard lock(lanes.mutex);
            ++(end == PassEnd::Failed ? lanes.failed : lanes.done);
            lanes.observer.documentEnded(index, end == PassEnd::Failed ? DocumentEnd::Failed : DocumentEnd::Done);
        });
    const std::function<void()> keepAlive = [&lanes] {
        const std::lock_guard lock(lanes.mutex);
        lanes.observer.stepDone();
        if (lanes.mustStop())
            throw JobStopped{};
    };
    const auto aborted = [&lanes] {
        // Workers never throw; this is the observer failing under the job.
        lanes.endWith(JobResult::End::Aborted, EngineError::fromCurrentException().description());
    };
    try {
        for (;;) {
            int index = 0;
            QString folder;
            std::optional<QString> refused;
            {
                const std::lock_guard lock(lanes.mutex);
                if (lanes.next >= lanes.documents.size())
                    break;
                if (lanes.mustStop())
                    throw JobStopped{};
                index = lanes.next++;
                lanes.observer.documentStarted(index);
                refused = lanes.prepare(index, folder);
            }
            const QString& path = lanes.documents.at(index).path;
            if (refused) {
                passed.endAll(); // the log reads in the order of the list
                const std::lock_guard lock(lanes.mutex);
                lanes.log.record(path, *refused);
                ++lanes.failed;
                lanes.observer.documentEnded(index, DocumentEnd::Failed);
                continue;
            }
            const DocumentOptions options(lanes.options, folder);
            std::optional<PassOutcome> outcome;
            QString notStarted;
            try {
                outcome = RunPass(kind, *app, path, options, saver, keepAlive);
            } catch (const EngineStartFailure& failure) {
                notStarted = failure.description;
            }
            if (!outcome) {
                passed.endAll();
                const std::lock_guard lock(lanes.mutex);
                lanes.lost.emplace_back(index, notStarted);
                break;
            }
            {
                const std::lock_guard lock(lanes.mutex);
                ++lanes.passes;
            }
            passed.hold(index, std::move(*outcome));
        }
    } catch (const JobStopped&) {
        saver.dropWaiting();
        lanes.endWith(JobResult::End::Stopped, QString());
    } catch (...) {
        aborted();
    }
    app.quit(); // the last pictures need no office
    try {
        passed.endAll();
    } catch (...) {
        aborted();
    }
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

JobResult JobRunner::run(const JobKind& kind, const QList<JobDocument>& documents, int lanes)
{
    JobResult result;
    try {
        std::vector<std::unique_ptr<ApplicationOfJob>> apps;
        for (qsizetype i = std::clamp<qsizetype>(lanes, 1, std::max<qsizetype>(documents.size(), 1)); i > 0;
             --i)
            apps.push_back(CreateApplication(m_engine));
        Lanes shared(documents, m_options, m_observer, kind.pictureExtension);
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
        result = shared.result();
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
