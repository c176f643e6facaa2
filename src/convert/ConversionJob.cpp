#include "convert/ConversionJob.h"

#include "convert/PageRenderer.h"
#include "jobs/BatchJob.h"

namespace quillet {

JobKind ConversionJobKind()
{
    JobKind kind;
    kind.pageRangeStep = JobKind::PageRangeStep::Validate;
    kind.worker = [](OfficeApplication& app, const QString& path, const OptionsSource& options, JobLog& log,
                     const std::function<void()>& keepAlive) {
        ConvertDocument(app, path, options, log, keepAlive);
    };
    kind.pictureExtension = kPagePictureExtension;
    kind.completionMessage = QStringLiteral("转换完毕！");
    return kind;
}

void RunConversionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
{
    BatchJob(window, engine, viewer).run(ConversionJobKind());
}

} // namespace quillet
