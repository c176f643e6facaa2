// Fidelity of the in-process page pictures on real documents: every page of the shared corpus and of
// the benchmark corpus is drawn twice, from our EMF (through the office's own EMF import) and from
// the PDF (pdftoppm), and the two must agree; every word of the PDF page is in the EMF's text. The
// Draw route's EMF of the same page is scored beside it, so the threshold stays honest.

#include "ConvertCorpus.h"
#include "EmfRecords.h"
#include "LoTestOffice.h"
#include "OfficePages.h"
#include "PageDifference.h"
#include "engine/libreoffice/PdfEmf_p.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

// Limits for a page (see PageDifference.h), just above the Draw route's worst pages on this corpus
// (both routes' worst pages print on every run).
constexpr double ShareLimit = 0.01;
constexpr double TileLimit = 30;
constexpr int Dpi = 96;

struct Score
{
    QString page;
    PageDifference ours;
    PageDifference draw;
};

void printWorst(std::vector<Score>& scores, const char* what, double PageDifference::*measure, double limit)
{
    const auto worse = [measure](const PageDifference& a, const PageDifference& b) {
        return a.*measure > b.*measure;
    };
    std::sort(scores.begin(), scores.end(),
              [&](const Score& a, const Score& b) { return worse(a.ours, b.ours); });
    std::printf("%s, worst pages of our EMF (Draw route beside):\n", what);
    for (size_t i = 0; i < std::min<size_t>(5, scores.size()); ++i)
        std::printf("  ours %8.4f  draw %8.4f  %s\n", scores[i].ours.*measure, scores[i].draw.*measure,
                    qPrintable(scores[i].page));
    const Score& draw = *std::min_element(
        scores.begin(), scores.end(), [&](const Score& a, const Score& b) { return worse(a.draw, b.draw); });
    std::printf("  worst page of the Draw route: %s %.4f (ours %.4f)\n", qPrintable(draw.page),
                draw.draw.*measure, draw.ours.*measure);
    const auto over = [&](PageDifference Score::*route) {
        return std::count_if(scores.begin(), scores.end(),
                             [&](const Score& s) { return s.*route.*measure > limit; });
    };
    std::printf("  pages over the limit %.4f: ours %td, Draw route %td\n", limit, over(&Score::ours),
                over(&Score::draw));
}

QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        process.kill();
    return process.readAllStandardOutput();
}

QStringList sourceDocuments(const QString& dir, OfficePages& office)
{
    QStringList sources;
    QDirIterator corpus(QStringLiteral(QUILLET_CORPUS_DIR), {QStringLiteral("*.docx")}, QDir::Files,
                        QDirIterator::Subdirectories);
    while (corpus.hasNext()) {
        const QString source = corpus.next();
        const QString copy = dir + QLatin1Char('/') + QFileInfo(source).fileName();
        QFile::copy(source, copy);
        sources << copy;
    }
    sources.sort();
    // The benchmark corpus: twelve 8-page documents and one of 100 pages, in three formats.
    const std::pair<const char*, const char*> formats[] = {
        {"docx", "MS Word 2007 XML"}, {"doc", "MS Word 97"}, {"rtf", "Rich Text Format"}};
    for (int i = 0; i < 13; ++i) {
        const QString flat = dir + QStringLiteral("/bench%1.fodt").arg(i);
        QFile file(flat);
        if (!file.open(QIODevice::WriteOnly))
            continue;
        file.write(bench::CorpusFlatOdt(i == 12 ? 100 : 8, i));
        file.close();
        for (const auto& [extension, filter] : formats) {
            const QString target = dir + QStringLiteral("/bench%1.%2").arg(i).arg(QLatin1String(extension));
            office.storeAs(flat, target, filter);
            sources << target;
        }
    }
    return sources;
}

} // namespace

TEST(PdfEmfFidelity, EveryCorpusPageMatchesItsPdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LoTestOffice office;
    OfficePages pages(office.session(), dir.path());
    std::vector<Score> scores;
    int pagesWithMissingWords = 0;
    for (const QString& source : sourceDocuments(dir.path(), pages)) {
        const QString name = QFileInfo(source).fileName();
        const QString pdfPath = dir.filePath(name + QStringLiteral(".pdf"));
        const std::vector<QByteArray> drawRoute = pages.pdfAndDrawRoute(source, pdfPath);
        lo::PdfDocument pdf(pdfPath);
        ASSERT_TRUE(pdf.isOk()) << name.toStdString();
        EXPECT_EQ(size_t(pdf.pageCount()), drawRoute.size()) << name.toStdString();
        for (int page = 1; page <= pdf.pageCount(); ++page) {
            const QString label = QStringLiteral("%1 page %2").arg(name).arg(page);
            const QByteArray emf = lo::emfOfPdfPage(pdf, page);
            const EmfContent content = readEmf(emf);
            EXPECT_TRUE(content.fault.isEmpty())
                << label.toStdString() << ": " << content.fault.toStdString();

            const QString number = QString::number(page);
            const QString text = QString::fromUtf8(
                run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), number, QStringLiteral("-l"), number,
                                                  pdfPath, QStringLiteral("-")}));
            const QStringList missing = missingWords(text, content.text);
            if (!missing.isEmpty()) {
                ++pagesWithMissingWords;
                ADD_FAILURE() << label.toStdString() << " misses "
                              << missing.join(QLatin1Char(' ')).toStdString();
            }

            const QString ppm = dir.filePath(QStringLiteral("reference"));
            run(QStringLiteral("pdftoppm"),
                {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-f"),
                 number, QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdfPath, ppm});
            const QImage reference(ppm + QStringLiteral(".png"));
            ASSERT_FALSE(reference.isNull()) << label.toStdString();
            const QSizeF pageMm = pdf.pageSize(page) * (25.4 / 72);
            Score score{label};
            const QImage ours = pages.render(emf, pageMm, reference.size());
            score.ours = pageDifference(ours, reference);
            QImage draw;
            if (size_t(page) <= drawRoute.size()) {
                draw = pages.render(drawRoute[page - 1], pageMm, reference.size());
                score.draw = pageDifference(draw, reference);
            }
            // QUILLET_FIDELITY_KEEP=<folder> keeps the three pictures of every page for a look.
            if (qEnvironmentVariableIsSet("QUILLET_FIDELITY_KEEP")) {
                const QString keep = qEnvironmentVariable("QUILLET_FIDELITY_KEEP") + QLatin1Char('/') +
                                     QString(label).replace(QLatin1Char(' '), QLatin1Char('-'));
                ours.save(keep + QStringLiteral("-ours.png"));
                draw.save(keep + QStringLiteral("-draw.png"));
                reference.save(keep + QStringLiteral("-pdf.png"));
            }
            scores.push_back(score);
        }
    }
    ASSERT_FALSE(scores.empty());
    std::printf("pages compared: %zu, pages with missing words: %d\n", scores.size(), pagesWithMissingWords);
    printWorst(scores, "share of differing pixels", &PageDifference::share, ShareLimit);
    printWorst(scores, "worst 16x16 tile, grey levels", &PageDifference::worstTile, TileLimit);
    for (const Score& score : scores) {
        EXPECT_LE(score.ours.share, ShareLimit) << score.page.toStdString();
        EXPECT_LE(score.ours.worstTile, TileLimit) << score.page.toStdString();
    }
}
