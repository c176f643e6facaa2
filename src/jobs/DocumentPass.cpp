#include "jobs/DocumentPass.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "jobs/JobLog.h"
#include "jobs/SkipOnFailure.h"

namespace quillet {

PassOutcome::PassOutcome(QString path, std::shared_ptr<const SkipOnFailure> steps)
    : m_path(std::move(path)), m_steps(std::move(steps))
{}

bool PassOutcome::saved(std::chrono::milliseconds within) const
{
    return m_steps->laterEnded(within);
}

PassEnd PassOutcome::end(JobLog& log) const
{
    if (m_steps->laterDropped())
        return PassEnd::Unfinished;
    if (!m_steps->hasPendingError())
        return PassEnd::Done;
    log.record(m_path, m_steps->pendingDescription());
    return PassEnd::Failed;
}

PassOutcome RunDocumentPass(OfficeApplication& app, const QString& path, PictureSaver& saver,
                            const std::function<void(OfficeDocument& doc, SkipOnFailure& steps)>& work)
{
    auto steps = std::make_shared<SkipOnFailure>(&saver);
    std::unique_ptr<OfficeDocument> doc;
    const bool opened = steps->run([&] {
        try {
            doc = app.Documents().Open(path);
        } catch (const EngineError& error) {
            if (error.number() == ErrorNumber::EngineUnavailable)
                throw EngineStartFailure{error.description()};
            throw;
        }
    });
    if (opened && doc) {
        // Whatever the work lets escape is this document's failure too, never the job's end.
        steps->run([&] { work(*doc, *steps); });
        steps->run([&] { doc->Close(false); });
        doc.reset();
    }
    return PassOutcome(path, std::move(steps));
}

} // namespace quillet
