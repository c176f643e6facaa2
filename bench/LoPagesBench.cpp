// bench_lo_pages: page walk and vector EMF pages of the LibreOffice backend on a long document.
// Baseline, measured in the same run: the document's PDF export as the page pictures make it, the
// office's share of the EMF route, so the figure shows what walking and writing the pages adds.
//
// Usage: bench_lo_pages [pages] [table]   (default 150 pages; "table": page 2 starts with a table,
// which makes the walk count the body through its enumeration)

#include "LoTestOffice.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

using namespace quillet;
using namespace quillet::testing;
namespace css = com::sun::star;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestDocumentSpec spec;
    spec.pages = argc > 1 ? std::atoi(argv[1]) : 150;
    spec.fillerParagraphs = 6;
    spec.tableAtPageStart = argc > 2 && std::strcmp(argv[2], "table") == 0 ? 2 : 0;
    const QString path = testDocument(spec, QStringLiteral("docx"));

    LoTestOffice office;
    QElapsedTimer timer;
    timer.start();
    auto doc = office.open(path);
    const double openS = timer.nsecsElapsed() / 1e9;

    // The body count is made once per document, on the first Select.
    timer.restart();
    doc->Select();
    const double countS = timer.nsecsElapsed() / 1e9;

    timer.restart();
    const WalkResult walk = walkPages(*doc, office.selection(), office.browser());
    const double walkS = timer.nsecsElapsed() / 1e9;
    const int pages = static_cast<int>(walk.starts.size());

    timer.restart();
    int delivered = 0;
    double firstPageS = 0;
    for (int page = 1; page <= pages; ++page) {
        doc->Range(walk.starts[page - 1], walk.pageEnd(page - 1))->Copy();
        if (!office.slot().fetch().isEmpty())
            ++delivered;
        if (page == 1)
            firstPageS = timer.nsecsElapsed() / 1e9;
    }
    const double emfS = timer.nsecsElapsed() / 1e9;
    doc->Close(false);

    // Baseline: the PDF export alone, on a fresh copy of the document.
    QTemporaryDir dir;
    auto desktop = office.session().desktop();
    const double pdfS = office.session().guarded(std::chrono::minutes(10), [&] {
        css::uno::Reference<css::lang::XComponent> copy = desktop->loadComponentFromURL(
            lo::fileUrl(path), "_blank", 0,
            lo::props({{"Hidden", css::uno::Any(true)}, {"ReadOnly", css::uno::Any(true)}}));
        QElapsedTimer pdfTimer;
        pdfTimer.start();
        lo::exportPagesPdf(copy, dir.filePath("baseline.pdf"));
        const double seconds = pdfTimer.nsecsElapsed() / 1e9;
        lo::closeComponent(copy);
        return seconds;
    });

    std::printf("document: %d pages laid out, %d walked, open %.2f s\n", spec.pages, pages, openS);
    std::printf("body count: %.2f s; walk after it: %.2f s, %.2f ms/page\n", countS, walkS,
                walkS * 1000 / pages);
    std::printf("emf: %d pages in %.2f s (first page %.2f s incl. the PDF export): %.1f pages/s\n", delivered,
                emfS, firstPageS, delivered / emfS);
    std::printf("baseline pdf export alone: %.2f s (%.1f pages/s)\n", pdfS, pages / pdfS);
    std::printf("walk_ms_per_page=%.2f emf_pages_per_s=%.1f baseline_pdf_pages_per_s=%.1f\n",
                (countS + walkS) * 1000 / pages, delivered / emfS, pages / pdfS);
    return delivered == pages ? 0 : 1;
}
