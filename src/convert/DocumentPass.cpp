#include "convert/DocumentPass.h"

#include "convert/JobLog.h"
#include "convert/SkipOnFailure.h"
#include "convert/engine/OfficeApplication.h"

#include <memory>

namespace quillet {

void RunDocumentPass(OfficeApplication& app, const QString& path, JobLog& log,
                     const std::function<void(OfficeDocument& doc, SkipOnFailure& steps)>& work)
{
    SkipOnFailure steps;
    std::unique_ptr<OfficeDocument> doc;
    if (steps.run([&] { doc = app.Documents().Open(path); }) && doc) {
        work(*doc, steps);
        steps.run([&] { doc->Close(false); });
        doc.reset();
    }
    if (steps.hasPendingError())
        log.record(path, steps.pendingDescription());
    steps.clear();
}

} // namespace quillet
