// bench_convert: the whole conversion job, run through the main window's button code on a built
// corpus (twelve 8-page documents and one of 100 pages, .docx/.doc/.rtf), beside two baselines
// measured in the same run on the same files:
//   (a) per document, `soffice --headless --convert-to pdf` then `pdftoppm -png`;
//   (b) one warm office exporting every document to PDF as the page pictures do (the floor for
//       any route through PDF).
// Beside them the PDF-to-EMF writer alone, on the PDFs of (b). Then the command line (the quillet
// program) on the same documents, with one office writing EMF, SVG and PNG pages (each the median of
// three runs taken in turn) and with two offices side by side, beside soffice + pdftocairo; then the
// extraction job on the same corpus.

#include "ConvertCorpus.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "engine/libreoffice/LibreOfficeSession_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "gui/MainWindow.h"
#include "gui/WebBrowser.h"
#include "pdfemf/PdfEmf.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillet;

namespace {

class NoBrowser : public WebBrowser
{
public:
    using WebBrowser::WebBrowser;
    void Navigate(const QUrl&) override {}
};

double Seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

int CountFiles(const QString& folder, const QString& pattern)
{
    return static_cast<int>(QDir(folder).entryList({pattern}, QDir::Files).size());
}

bool Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Rate
{
    int pages = 0;
    double seconds = 0;
    double perSecond() const { return seconds > 0 ? pages / seconds : 0; }
};

// The quillet program beside this one: `quillet convert` with `offices` offices side by side, pages
// in `format`. The long document goes first, so that two offices share the work evenly.
Rate CommandLineJob(const QStringList& documents, const QString& outFolder, int offices,
                    const QString& format = QStringLiteral("emf"))
{
    QElapsedTimer timer;
    timer.start();
    const bool ok = Run(QCoreApplication::applicationDirPath() + QStringLiteral("/quillet"),
                        QStringList{QStringLiteral("convert"), outFolder, QStringLiteral("--jobs"),
                                    QString::number(offices), QStringLiteral("--format"), format} +
                            documents);
    const Rate rate{CountFiles(outFolder, QStringLiteral("*.") + format), Seconds(timer)};
    if (!ok)
        std::printf("warning: quillet convert --jobs %d --format %s failed\n", offices, qPrintable(format));
    return rate;
}

// One office writing EMF, SVG and PNG pages, taken in turn three times: each format's figure is its
// median run, so that the machine's drift from run to run (a fifth here) moves a format's share of
// the EMF run less.
struct FormatRates
{
    Rate emf, svg, png;
};

FormatRates CommandLineFormats(const QStringList& documents, const QTemporaryDir& work)
{
    const QStringList formats{QStringLiteral("emf"), QStringLiteral("svg"), QStringLiteral("png")};
    std::vector<std::vector<Rate>> runs(formats.size());
    for (int round = 0; round < 3; ++round) {
        for (qsizetype f = 0; f < formats.size(); ++f) {
            const QString out = work.filePath(QStringLiteral("out-cli-%1-%2").arg(formats[f]).arg(round));
            runs[f].push_back(CommandLineJob(documents, out, 1, formats[f]));
        }
    }
    const auto median = [](std::vector<Rate> rates) {
        std::sort(rates.begin(), rates.end(), [](const Rate& a, const Rate& b) { return a.seconds < b.seconds; });
        return rates[rates.size() / 2];
    };
    return {median(runs[0]), median(runs[1]), median(runs[2])};
}

// Baselines (a): per document a fresh soffice to PDF, then the PDF's pages as pictures by a poppler
// tool: PNG pages by pdftoppm (all in one call), or by pdftocairo as SVG (one call a page, the only
// way it writes one file a page) or PNG at 150 dpi.
enum class Rasteriser
{
    PdftoppmPng,
    PdftocairoSvg,
    PdftocairoPng
};

Rate CliBaseline(const QStringList& documents, const QString& work, const QString& profileUrl,
                 Rasteriser rasteriser = Rasteriser::PdftoppmPng)
{
    Rate rate;
    QElapsedTimer timer;
    timer.start();
    for (const QString& doc : documents) {
        const QString out = work + QLatin1Char('/') + QFileInfo(doc).completeBaseName();
        QDir().mkpath(out);
        Run(QStringLiteral("soffice"),
            {QStringLiteral("-env:UserInstallation=") + profileUrl, QStringLiteral("--headless"),
             QStringLiteral("--norestore"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
             QStringLiteral("--outdir"), out, doc});
        const QString pdf =
            out + QLatin1Char('/') + QFileInfo(doc).completeBaseName() + QStringLiteral(".pdf");
        switch (rasteriser) {
        case Rasteriser::PdftoppmPng:
            Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), pdf, out + QStringLiteral("/page")});
            break;
        case Rasteriser::PdftocairoPng:
            Run(QStringLiteral("pdftocairo"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                               QStringLiteral("150"), pdf, out + QStringLiteral("/page")});
            break;
        case Rasteriser::PdftocairoSvg: {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {pdf});
            info.waitForFinished();
            const QString pages = QString::fromUtf8(info.readAllStandardOutput())
                                      .section(QStringLiteral("Pages:"), 1)
                                      .section(QLatin1Char('\n'), 0, 0)
                                      .trimmed();
            for (int page = 1; page <= pages.toInt(); ++page) {
                const QString number = QString::number(page);
                Run(QStringLiteral("pdftocairo"),
                    {QStringLiteral("-svg"), QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf,
                     out + QStringLiteral("/page-%1.svg").arg(page)});
            }
            break;
        }
        }
        rate.pages += CountFiles(out, QStringLiteral("page*.*"));
    }
    rate.seconds = Seconds(timer);
    return rate;
}

QString PdfOf(const QString& work, const QString& document)
{
    return work + QLatin1Char('/') + QFileInfo(document).completeBaseName() + QStringLiteral(".pdf");
}

// Baseline (b): one warm office loading each document and exporting it to PDF.
Rate WarmPdfFloor(lo::LibreOfficeSession& session, const QStringList& documents, const QString& work,
                  int pages)
{
    QDir().mkpath(work);
    QElapsedTimer timer;
    timer.start();
    for (const QString& doc : documents) {
        bench::WithLoadedDocument(
            session, doc, [&](const auto& component) { lo::exportPagesPdf(component, PdfOf(work, doc)); });
    }
    return {pages, Seconds(timer)};
}

// The PDF-to-EMF writer alone on the PDFs the floor made: every page of each, in memory. Best of
// three rounds, as the machine is shared.
Rate WriterAlone(const QStringList& documents, const QString& work)
{
    Rate best;
    for (int round = 0; round < 3; ++round) {
        Rate rate;
        QElapsedTimer timer;
        timer.start();
        for (const QString& doc : documents) {
            pdfemf::PdfDocument pdf(PdfOf(work, doc));
            for (int page = 1; page <= pdf.pageCount(); ++page)
                rate.pages += pdfemf::emfOfPdfPage(pdf, page).isEmpty() ? 0 : 1;
        }
        rate.seconds = Seconds(timer);
        if (round == 0 || rate.seconds < best.seconds)
            best = rate;
    }
    return best;
}

// The job exactly as the buttons run it, on a hidden window with scripted dialogs.
double RunJob(MainWindow& window, const QStringList& documents, const QString& outFolder, bool extract)
{
    window.documentList().clear();
    for (const QString& doc : documents)
        window.documentList().AddToList(doc);
    window.findChild<QLineEdit*>(QStringLiteral("txtOutDir"))->setText(outFolder);
    QElapsedTimer timer;
    timer.start();
    window.findChild<QPushButton*>(extract ? QStringLiteral("CmdPicExtract") : QStringLiteral("CmdDo"))
        ->click();
    return Seconds(timer);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    const QString corpus = work.filePath(QStringLiteral("corpus"));
    QDir().mkpath(corpus);

    std::printf("building the corpus...\n");
    std::fflush(stdout);
    QStringList shortDocs;
    QStringList longDocs;
    {
        lo::LibreOfficeSession session;
        for (int i = 0; i < 13; ++i) {
            const bool isLong = i == 12;
            const bench::CorpusFormat& format = bench::CorpusFormats[i % 3];
            const QString doc = corpus + QStringLiteral("/%1-%2.%3")
                                             .arg(isLong ? QStringLiteral("long") : QStringLiteral("doc"))
                                             .arg(i)
                                             .arg(QLatin1String(format.extension));
            bench::SaveFlatOdt(session, bench::CorpusFlatOdt(isLong ? 100 : 8, i), doc, format);
            (isLong ? longDocs : shortDocs) << doc;
        }
    }

    // The job first, so that its pages count for the baselines too.
    lo::LibreOfficeEngine engine;
    testing::ScriptedDialogs dialogs;
    MainWindow window(engine, dialogs, [](QWidget* parent) { return new NoBrowser(parent); });
    window.findChild<QLineEdit*>(QStringLiteral("txtLog"))
        ->setText(work.filePath(QStringLiteral("Quillet.log")));
    const QString outShort = work.filePath(QStringLiteral("out-short"));
    const QString outLong = work.filePath(QStringLiteral("out-long"));
    const Rate jobShort{0, RunJob(window, shortDocs, outShort, false)};
    const Rate jobLong{0, RunJob(window, longDocs, outLong, false)};
    Rate quilletShort = jobShort;
    Rate quilletLong = jobLong;
    quilletShort.pages = CountFiles(outShort, QStringLiteral("*.emf"));
    quilletLong.pages = CountFiles(outLong, QStringLiteral("*.emf"));

    // The same program writing EMF, SVG and PNG pages (beside soffice + pdftocairo on the same
    // documents, below), and EMF with two offices.
    const QStringList allDocs = longDocs + shortDocs;
    const FormatRates oneOffice = CommandLineFormats(allDocs, work);
    const Rate& cliJobs1 = oneOffice.emf;
    const Rate& cliSvg = oneOffice.svg;
    const Rate& cliPng = oneOffice.png;
    const Rate cliJobs2 = CommandLineJob(allDocs, work.filePath(QStringLiteral("out-cli-2")), 2);

    const QString outPictures = work.filePath(QStringLiteral("out-pictures"));
    const double extractSeconds = RunJob(window, shortDocs + longDocs, outPictures, true);
    const int pictures = CountFiles(outPictures, QStringLiteral("*.bmp"));

    Rate floorShort;
    Rate floorLong;
    const QString floorFolder = work.filePath(QStringLiteral("floor"));
    {
        lo::LibreOfficeSession session;
        WarmPdfFloor(session, {shortDocs.first()}, work.filePath(QStringLiteral("warm-up")), 0);
        floorShort = WarmPdfFloor(session, shortDocs, floorFolder, quilletShort.pages);
        floorLong = WarmPdfFloor(session, longDocs, floorFolder, quilletLong.pages);
    }
    const Rate writer = WriterAlone(shortDocs + longDocs, floorFolder);

    const QString profileUrl = QUrl::fromLocalFile(work.filePath(QStringLiteral("cli-profile"))).toString();
    CliBaseline({shortDocs.first()}, work.filePath(QStringLiteral("cli-warm-up")),
                profileUrl); // makes the profile
    const Rate cliShort = CliBaseline(shortDocs, work.filePath(QStringLiteral("cli-short")), profileUrl);
    const Rate cliLong = CliBaseline(longDocs, work.filePath(QStringLiteral("cli-long")), profileUrl);
    const Rate cairoSvg =
        CliBaseline(allDocs, work.filePath(QStringLiteral("cli-svg")), profileUrl, Rasteriser::PdftocairoSvg);
    const Rate cairoPng =
        CliBaseline(allDocs, work.filePath(QStringLiteral("cli-png")), profileUrl, Rasteriser::PdftocairoPng);

    const auto line = [](const char* what, const Rate& quillet, const Rate& cli, const Rate& floor) {
        std::printf("%s: quillet %d pages in %.1f s = %.2f pages/s; cli+pdftoppm %d pages = %.2f pages/s "
                    "(quillet %.2fx); warm pdf floor %.2f pages/s (quillet at %.0f%% of it)\n",
                    what, quillet.pages, quillet.seconds, quillet.perSecond(), cli.pages, cli.perSecond(),
                    cli.perSecond() > 0 ? quillet.perSecond() / cli.perSecond() : 0, floor.perSecond(),
                    floor.perSecond() > 0 ? 100 * quillet.perSecond() / floor.perSecond() : 0);
    };
    line("12 x 8-page documents", quilletShort, cliShort, floorShort);
    line("1 x 100-page document", quilletLong, cliLong, floorLong);
    const Rate quillet{quilletShort.pages + quilletLong.pages, quilletShort.seconds + quilletLong.seconds};
    const Rate cli{cliShort.pages + cliLong.pages, cliShort.seconds + cliLong.seconds};
    const Rate floor{floorShort.pages + floorLong.pages, floorShort.seconds + floorLong.seconds};
    std::printf("writer alone (PDF already made): %d pages in %.2f s\n", writer.pages, writer.seconds);
    std::printf(
        "pages=%d quillet_pages_per_s=%.2f cli_pdftoppm_pages_per_s=%.2f engine_pdf_floor_pages_per_s=%.2f "
        "emf_writer_pages_per_s=%.1f\n",
        quillet.pages, quillet.perSecond(), cli.perSecond(), floor.perSecond(), writer.perSecond());
    std::printf(
        "cli_pages=%d cli_jobs1_pages_per_s=%.2f cli_jobs2_pages_per_s=%.2f (two offices %.2fx one)\n",
        cliJobs2.pages, cliJobs1.perSecond(), cliJobs2.perSecond(),
        cliJobs1.perSecond() > 0 ? cliJobs2.perSecond() / cliJobs1.perSecond() : 0);
    const auto ratio = [](const Rate& a, const Rate& b) {
        return b.perSecond() > 0 ? a.perSecond() / b.perSecond() : 0;
    };
    std::printf("cli_svg_pages_per_s=%.2f pdftocairo_svg_pages_per_s=%.2f (%.2fx; %.0f%% of the EMF run)\n",
                cliSvg.perSecond(), cairoSvg.perSecond(), ratio(cliSvg, cairoSvg),
                100 * ratio(cliSvg, cliJobs1));
    std::printf("cli_png_pages_per_s=%.2f pdftocairo_png_pages_per_s=%.2f (%.2fx; %.0f%% of the EMF run)\n",
                cliPng.perSecond(), cairoPng.perSecond(), ratio(cliPng, cairoPng),
                100 * ratio(cliPng, cliJobs1));
    std::printf("pictures=%d extract_pictures_per_s=%.2f\n", pictures,
                extractSeconds > 0 ? pictures / extractSeconds : 0);
    const bool complete = quillet.pages == cli.pages && cliJobs1.pages == quillet.pages &&
                          cliJobs2.pages == quillet.pages && cliSvg.pages == quillet.pages &&
                          cliPng.pages == quillet.pages && cairoSvg.pages == quillet.pages &&
                          cairoPng.pages == quillet.pages && dialogs.messageTexts().count() == 3;
    if (!complete)
        std::printf("warning: quillet wrote %d pages, the baseline %d; messages: %s\n", quillet.pages,
                    cli.pages, qPrintable(dialogs.messageTexts().join(QStringLiteral(" | "))));
    return complete ? 0 : 1;
}
