#include "convert/PageRenderer.h"

#include "engine/OfficeApplication.h"
#include "jobs/ConversionOptions.h"
#include "jobs/DocumentPass.h"
#include "jobs/FilePrefix.h"
#include "jobs/PageBox.h"
#include "jobs/PictureCopy.h"
#include "jobs/SkipOnFailure.h"

#include <memory>
#include <vector>

namespace quillet {

namespace {

bool PageIsTaken(const ConversionOptions& options, int pageNumber)
{
    return options.allPages || pageNumber >= PageBoxNumber(options.firstPage);
}

bool PastLastPage(const ConversionOptions& options, int pageNumber)
{
    return options.pageRange && pageNumber > PageBoxNumber(options.lastPage);
}

} // namespace

PassOutcome ConvertDocument(OfficeApplication& app, const QString& path, const OptionsSource& options,
                            PictureSaver& saver, const std::function<void()>& afterEachPage,
                            const QString& extension)
{
    return RunDocumentPass(app, path, saver, [&](OfficeDocument& doc, SkipOnFailure& steps) {
        // Numbers and bullets become text of the open copy, so the page pictures show them.
        std::vector<std::unique_ptr<OfficeList>> lists;
        steps.run([&] { lists = doc.Lists(); });
        for (const auto& list : lists)
            steps.run([&] { list->ConvertNumbersToText(); });

        CharPosition pageStart = 0;
        CharPosition documentEnd = 0;
        steps.run([&] { doc.Select(); });
        steps.run([&] { pageStart = app.Selection().Start(); });
        CharPosition pageEnd = pageStart;
        steps.run([&] { documentEnd = app.Selection().End(); });
        steps.run([&] { app.Selection().Collapse(CollapseStart); });
        int pageNumber = 1;
        steps.run([&] { app.Browser().setTarget(BrowseByPage); });

        // A page runs from where the insertion point stood to where the next page move puts it;
        // when it no longer moves forward, this is the last page and it runs to the end.
        while (pageEnd < documentEnd) {
            steps.run([&] { app.Browser().Next(); });
            steps.run([&] { pageEnd = app.Selection().End(); });
            if (pageEnd <= pageStart)
                pageEnd = documentEnd;
            std::unique_ptr<OfficeRange> pageRange;
            steps.run([&] { pageRange = doc.Range(pageStart, pageEnd); });

            bool taken = false;
            steps.run([&] { taken = PageIsTaken(options.options(), pageNumber); });
            if (taken && pageRange) {
                CopyAndSavePicture(
                    steps, app.Clipboard(), [&] { pageRange->Copy(); },
                    [&] {
                        return OutputFileName(options.options().outputFolder, path, pageNumber, extension);
                    });
            }
            pageRange.reset();

            steps.run([&] { pageStart = app.Selection().End(); });
            ++pageNumber;
            steps.run([&] {
                if (PastLastPage(options.options(), pageNumber))
                    pageEnd = documentEnd;
            });
            if (afterEachPage)
                afterEachPage();
        }
    });
}

} // namespace quillet
