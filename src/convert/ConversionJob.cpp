#include "convert/ConversionJob.h"

#include "convert/PageRenderer.h"
#include "jobs/BatchJob.h"

namespace quillet {

JobKind ConversionJobKind(const QString& extension)
{
    JobKind kind;
    kind.pageRangeStep = JobKind::PageRangeStep::Validate;
    kind.worker = [extension](OfficeApplication& app, const QString& path, const OptionsSource& options,
                              PictureSaver& saver, const std::function<void()>& keepAlive) {
        return ConvertDocument(app, path, options, saver, keepAlive, extension);
    };
    kind.pictureExtension = extension;
    kind.completionMessage = QStringLiteral("转换完毕！");
    return kind;
}

void RunConversionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
{
    BatchJob(window, engine, viewer).run(ConversionJobKind());
}

} // namespace quillet
