#include "jobs/DocumentPass.h"

#include "engine/EngineError.h"
#include "engine/OfficeApplication.h"
#include "jobs/JobLog.h"
#include "jobs/SkipOnFailure.h"

#include <memory>

namespace quillet {

void RunDocumentPass(OfficeApplication& app, const QString& path, JobLog& log,
                     const std::function<void(OfficeDocument& doc, SkipOnFailure& steps)>& work)
{
    SkipOnFailure steps;
    std::unique_ptr<OfficeDocument> doc;
    const bool opened = steps.run([&] {
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
        steps.run([&] { work(*doc, steps); });
        steps.run([&] { doc->Close(false); });
        doc.reset();
    }
    if (steps.hasPendingError())
        log.record(path, steps.pendingDescription());
    steps.clear();
}

} // namespace quillet
