// bench_pdf_emf: the in-process PDF-to-EMF writer on the benchmark corpus (twelve 8-page documents
// and one of 100 pages, saved as .docx), beside baselines measured in the same run on the same PDFs:
//   - pdftoppm rasterising every page at 96 dpi (a mature PDF renderer, process start included);
//   - today's page pictures: PDF export, Draw's PDF import and one GraphicExportFilter per page;
//   - the office's PDF export alone (the floor for any route through PDF).
// It prints what the office route would do with the writer in place of Draw: PDF export + writer.

#include "ConvertCorpus.h"
#include "LoTestOffice.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"
#include "engine/libreoffice/PdfEmf_p.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <com/sun/star/frame/XStorable.hpp>
#include <cstdio>

using namespace quillet;
namespace css = com::sun::star;

namespace {

double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    testing::LoTestOffice office;
    lo::LibreOfficeSession& session = office.session();

    QStringList pdfs;
    int officePages = 0;
    double pdfExportS = 0, drawRouteS = 0;
    for (int i = 0; i < 13; ++i) {
        const QString flat = dir.filePath(QStringLiteral("bench%1.fodt").arg(i));
        const QString docx = dir.filePath(QStringLiteral("bench%1.docx").arg(i));
        const QString pdf = dir.filePath(QStringLiteral("bench%1.pdf").arg(i));
        QFile file(flat);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(bench::CorpusFlatOdt(i == 12 ? 100 : 8, i));
        file.close();
        session.guarded(std::chrono::minutes(10), [&] {
            using css::uno::Any;
            auto desktop = session.desktop();
            const auto hidden = lo::props({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}});
            css::uno::Reference<css::lang::XComponent> source =
                desktop->loadComponentFromURL(lo::fileUrl(flat), "_blank", 0, hidden);
            css::uno::Reference<css::frame::XStorable>(source, css::uno::UNO_QUERY_THROW)
                ->storeToURL(lo::fileUrl(docx),
                             lo::props({{"FilterName", Any(lo::OUString("MS Word 2007 XML"))}}));
            lo::closeComponent(source);

            css::uno::Reference<css::lang::XComponent> doc =
                desktop->loadComponentFromURL(lo::fileUrl(docx), "_blank", 0, hidden);
            // The PDF export exactly as the page pictures make it.
            QElapsedTimer timer;
            timer.start();
            css::uno::Sequence<css::beans::PropertyValue> filterData =
                lo::props({{"IsSkipEmptyPages", Any(false)}});
            css::uno::Reference<css::frame::XStorable>(doc, css::uno::UNO_QUERY_THROW)
                ->storeToURL(lo::fileUrl(pdf),
                             lo::props({{"FilterName", Any(lo::OUString("writer_pdf_Export"))},
                                        {"FilterData", Any(filterData)}}));
            pdfExportS += seconds(timer);

            // Today's route on the same document: its own PDF export, Draw's import, a filter a page.
            timer.restart();
            lo::LoPagePictures pictures(doc, dir.path());
            pictures.prepare(desktop);
            for (int page = 1; !pictures.emfOfPage(session.context(), page).isEmpty(); ++page)
                ++officePages;
            pictures.close();
            drawRouteS += seconds(timer);
            lo::closeComponent(doc);
        });
        pdfs << pdf;
    }
    int pages = 0;
    for (const QString& pdf : pdfs)
        pages += lo::PdfDocument(pdf).pageCount();

    // The writer alone, PDF already made: open each PDF once, write every page. Three rounds, best kept.
    double writerS = 1e9;
    qint64 emfBytes = 0;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        qint64 bytes = 0;
        for (const QString& path : pdfs) {
            lo::PdfDocument pdf(path);
            for (int page = 1; page <= pdf.pageCount(); ++page)
                bytes += lo::emfOfPdfPage(pdf, page).size();
        }
        writerS = std::min(writerS, seconds(timer));
        emfBytes = bytes;
    }

    QElapsedTimer timer;
    timer.start();
    for (const QString& pdf : pdfs) {
        QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"), pdf,
                           dir.filePath(QStringLiteral("ppm"))});
    }
    const double pdftoppmS = seconds(timer);

    const double routeS = pdfExportS + writerS;
    std::printf("corpus: 13 documents, %d pages (%d through the Draw route)\n", pages, officePages);
    std::printf("writer: %.3f s, %.1f KiB an EMF on average\n", writerS, emfBytes / 1024.0 / pages);
    std::printf(
        "pdftoppm -r 96: %.2f s; office PDF export: %.2f s; Draw route (export+import+filters): %.2f s\n",
        pdftoppmS, pdfExportS, drawRouteS);
    std::printf(
        "office route with the writer (PDF export + writer): %.2f s, %.0f %% of the PDF floor's speed\n",
        routeS, 100 * pdfExportS / routeS);
    std::printf("emf_writer_pages_per_s=%.1f pdftoppm_pages_per_s=%.1f draw_route_pages_per_s=%.1f "
                "pdf_export_pages_per_s=%.1f pdf_plus_writer_pages_per_s=%.1f\n",
                pages / writerS, pages / pdftoppmS, officePages / drawRouteS, pages / pdfExportS,
                pages / routeS);
    return officePages == pages ? 0 : 1;
}
