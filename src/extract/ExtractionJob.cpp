#include "extract/ExtractionJob.h"

#include "extract/PictureExtractor.h"
#include "jobs/BatchJob.h"

namespace quillet {

JobKind ExtractionJobKind()
{
    JobKind kind;
    kind.pageRangeStep = JobKind::PageRangeStep::SelectAllPages;
    kind.worker = [](OfficeApplication& app, const QString& path, const OptionsSource& options,
                     PictureSaver& saver, const std::function<void()>& keepAlive) {
        return ExtractPictures(app, path, options, saver, keepAlive);
    };
    kind.pictureExtension = kObjectPictureExtension;
    kind.completionMessage = QStringLiteral("图像提取完毕！");
    return kind;
}

void RunExtractionJob(JobWindow& window, OfficeEngine& engine, TextViewer& viewer)
{
    BatchJob(window, engine, viewer).run(ExtractionJobKind());
}

} // namespace quillet
