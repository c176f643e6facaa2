// bench_engine: the LibreOffice engine as the window and the jobs use it.
//
//   engine_start_s        private office start + connect (first document's wait), mean of 3
//   window_probe_s        the window's start-up probe: CreateApplication, Version, Quit
//                         (baseline: a probe that would start the office, i.e. engine_start_s)
//   emf_pages_per_s       every page of a built document as a vector EMF through Range.Copy
//                         (baseline: the same office's PDF export of that document, as the
//                         page pictures make it)
//   rss_mb_after_200_docs office memory after 200 documents opened, walked and closed with the
//                         restart after restartAfterDocuments (baseline: the same without restart)
//
//                         (the documents: built ones in three formats, plus every Word file under
//                         --corpus DIR when given; each converted as the page renderer does)
//
// Usage: bench_engine [--docs N] [--pages N] [--restart-after N] [--corpus DIR]

#include "LoTestOffice.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LibreOfficeEngine.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace quillet;
using namespace quillet::testing;
namespace css = com::sun::star;

namespace {

// Resident memory of the group's processes together, in kB.
qint64 groupResidentKb(qint64 group)
{
    qint64 total = 0;
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!stat.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid pgrp ...": comm may hold spaces, so read after the last ')'.
        const QByteArray fields = stat.readAll();
        if (fields.mid(fields.lastIndexOf(')') + 2).split(' ').value(2).toLongLong() != group)
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                total += line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

double meanStartSeconds()
{
    double total = 0;
    for (int i = 0; i < 3; ++i) {
        lo::LibreOfficeSession session;
        QElapsedTimer timer;
        timer.start();
        session.ensureStarted();
        total += seconds(timer);
        session.stop();
    }
    return total / 3;
}

double probeSeconds()
{
    QElapsedTimer timer;
    timer.start();
    lo::LibreOfficeEngine engine;
    auto app = engine.CreateApplication();
    const QString version = app->Version();
    app->Quit();
    app.reset();
    const double elapsed = seconds(timer);
    std::printf("probe: version %s (LibreOffice %s)\n", qPrintable(version),
                qPrintable(engine.officeVersion()));
    return elapsed;
}

struct EmfFigures
{
    int pages = 0;
    double pagesPerSecond = 0;
    double baselinePdfPagesPerSecond = 0;
};

EmfFigures emfPages(int pageCount)
{
    TestDocumentSpec spec;
    spec.pages = pageCount;
    spec.fillerParagraphs = 6;
    const QString path = testDocument(spec, QStringLiteral("docx"));

    lo::LoApplication app;
    auto document = app.Documents().Open(path);
    QElapsedTimer timer;
    timer.start();
    const WalkResult walk = walkPages(*document, app.Selection(), app.Browser());
    EmfFigures figures;
    const int pages = static_cast<int>(walk.starts.size());
    for (int page = 1; page <= pages; ++page) {
        document->Range(walk.starts[page - 1], walk.pageEnd(page - 1))->Copy();
        if (app.Clipboard().fetch().format == QStringLiteral("emf"))
            ++figures.pages;
    }
    figures.pagesPerSecond = figures.pages / seconds(timer);
    document->Close(false);

    QTemporaryDir dir;
    auto& session = app.session();
    auto desktop = session.desktop();
    const double pdfSeconds = session.guarded(std::chrono::minutes(10), [&] {
        css::uno::Reference<css::lang::XComponent> copy = desktop->loadComponentFromURL(
            lo::fileUrl(path), "_blank", 0,
            lo::props({{"Hidden", css::uno::Any(true)}, {"ReadOnly", css::uno::Any(true)}}));
        QElapsedTimer pdfTimer;
        pdfTimer.start();
        lo::exportPagesPdf(copy, dir.filePath(QStringLiteral("baseline.pdf")));
        const double elapsed = seconds(pdfTimer);
        lo::closeComponent(copy);
        return elapsed;
    });
    figures.baselinePdfPagesPerSecond = pages / pdfSeconds;
    std::printf("emf: %d of %d pages in %.2f s incl. walk\n", figures.pages, pages,
                figures.pages / figures.pagesPerSecond);
    return figures;
}

// The documents of the memory run: built ones in the three formats, and optionally real ones.
QStringList memoryDocuments(const QString& corpus)
{
    TestDocumentSpec pictures;
    pictures.pages = 5;
    pictures.pictures = true;
    pictures.fillerParagraphs = 4;
    TestDocumentSpec table;
    table.pages = 3;
    table.tableAtPageStart = 2;
    table.fillerParagraphs = 8;
    QStringList paths;
    for (const QString& format : {QStringLiteral("docx"), QStringLiteral("doc"), QStringLiteral("rtf")}) {
        paths << testDocument(pictures, format) << testDocument(table, format);
    }
    if (!corpus.isEmpty()) {
        QDirIterator it(corpus, {QStringLiteral("*.docx"), QStringLiteral("*.doc"), QStringLiteral("*.rtf")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
    }
    return paths;
}

// Converts `documents` documents in turn (open, walk, every page as EMF, close) as the page
// renderer does; prints the office's memory along the way and returns it (MB) after the last one.
double memoryAfterDocuments(int documents, int restartAfter, const QStringList& paths)
{
    lo::SessionSettings settings;
    settings.restartAfterDocuments = restartAfter;
    lo::LoApplication app(settings);
    const QString label = restartAfter > 0 ? QStringLiteral("restart after %1").arg(restartAfter)
                                           : QStringLiteral("no restart");
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer stretch;
    stretch.start();
    double mb = 0;
    int failed = 0;
    for (int i = 1; i <= documents; ++i) {
        try {
            auto document = app.Documents().Open(paths[(i - 1) % paths.size()]);
            const WalkResult walk = walkPages(*document, app.Selection(), app.Browser());
            const int pages = static_cast<int>(walk.starts.size());
            for (int page = 1; page <= pages; ++page) {
                document->Range(walk.starts[page - 1], walk.pageEnd(page - 1))->Copy();
            }
            document->Close(false);
        } catch (const EngineError&) {
            ++failed;
        }
        mb = groupResidentKb(app.session().pid()) / 1024.0;
        if (i % 25 == 0 || i == 1) {
            std::printf("  %s: %3d documents, office %.0f MB, %.2f s/doc over the last stretch\n",
                        qPrintable(label), i, mb, seconds(stretch) / (i == 1 ? 1 : 25));
            std::fflush(stdout);
            stretch.restart();
        }
    }
    std::printf("  %s: %d documents (%d failed) in %.1f s, %d office starts\n", qPrintable(label), documents,
                failed, seconds(timer), app.session().starts());
    app.Quit();
    return mb;
}

QString textOption(const QStringList& arguments, const QString& name)
{
    const int at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

int option(const QStringList& arguments, const QString& name, int fallback)
{
    const int at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int documents = option(arguments, QStringLiteral("--docs"), 200);
    const int pages = option(arguments, QStringLiteral("--pages"), 40);
    const int restartAfter =
        option(arguments, QStringLiteral("--restart-after"), lo::SessionSettings{}.restartAfterDocuments);

    const double probe = probeSeconds();
    const double start = meanStartSeconds();
    std::printf("window probe %.4f s; baseline (a probe that starts the office) %.2f s\n", probe, start);

    const EmfFigures emf = emfPages(pages);
    std::printf("emf %.1f pages/s; baseline PDF export %.1f pages/s\n", emf.pagesPerSecond,
                emf.baselinePdfPagesPerSecond);

    const QStringList paths = memoryDocuments(textOption(arguments, QStringLiteral("--corpus")));
    std::printf("memory over %d documents (%lld different files, every page as EMF):\n", documents,
                static_cast<long long>(paths.size()));
    const double withRestart = memoryAfterDocuments(documents, restartAfter, paths);
    const double withoutRestart = memoryAfterDocuments(documents, 0, paths);
    std::printf(
        "office memory after %d documents: %.0f MB with restart after %d, baseline without restart %.0f MB\n",
        documents, withRestart, restartAfter, withoutRestart);

    std::printf("engine_start_s=%.2f window_probe_s=%.4f emf_pages_per_s=%.1f rss_mb_after_%d_docs=%.0f\n",
                start, probe, emf.pagesPerSecond, documents, withRestart);
    return 0;
}
