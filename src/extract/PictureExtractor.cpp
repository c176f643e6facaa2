#include "extract/PictureExtractor.h"

#include "engine/OfficeApplication.h"
#include "jobs/ConversionOptions.h"
#include "jobs/DocumentPass.h"
#include "jobs/FilePrefix.h"
#include "jobs/PictureCopy.h"
#include "jobs/SkipOnFailure.h"

#include <memory>
#include <vector>

namespace quillet {

namespace {

using Shapes = std::vector<std::unique_ptr<OfficeShape>>;

void SaveShapes(OfficeApplication& app, const QString& path, const OptionsSource& options,
                SkipOnFailure& steps, const Shapes& shapes, int& pictureNumber,
                const std::function<void()>& afterEachShape)
{
    for (const auto& shape : shapes) {
        ++pictureNumber;
        // Without its own selection the copy would take the previous object's picture.
        if (steps.run([&] { shape->Select(); })) {
            CopyAndSavePicture(
                steps, app.Clipboard(), [&] { app.Selection().Copy(); },
                [&] {
                    return OutputFileName(options.options().outputFolder, path, pictureNumber,
                                          kObjectPictureExtension);
                });
        }
        if (afterEachShape)
            afterEachShape();
    }
}

} // namespace

PassOutcome ExtractPictures(OfficeApplication& app, const QString& path, const OptionsSource& options,
                            PictureSaver& saver, const std::function<void()>& afterEachShape)
{
    return RunDocumentPass(app, path, saver, [&](OfficeDocument& doc, SkipOnFailure& steps) {
        int pictureNumber = 0;
        Shapes floating;
        steps.run([&] { floating = doc.Shapes(); });
        SaveShapes(app, path, options, steps, floating, pictureNumber, afterEachShape);
        Shapes inlineShapes;
        steps.run([&] { inlineShapes = doc.InlineShapes(); });
        SaveShapes(app, path, options, steps, inlineShapes, pictureNumber, afterEachShape);
    });
}

} // namespace quillet
