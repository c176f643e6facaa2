#include "extract/ExtractionJob.h"

#include "extract/PictureExtractor.h"
#include "jobs/BatchJob.h"

namespace quillet {

void RunExtractionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
{
    JobKind kind;
    kind.pageRangeStep = JobKind::PageRangeStep::SelectAllPages;
    kind.worker = [](OfficeApplication& app, const QString& path, const OptionsSource& options, JobLog& log,
                     const std::function<void()>& keepAlive) {
        ExtractPictures(app, path, options, log, keepAlive);
    };
    kind.completionMessage = QStringLiteral("图像提取完毕！");
    BatchJob(window, engine, viewer).run(kind);
}

} // namespace quillet
