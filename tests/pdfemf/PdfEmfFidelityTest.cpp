// Fidelity of the page pictures: every page of the shared corpus, of the benchmark corpus and of
// documents built here with what the corpus lacks is drawn from our EMF by two readers, the office's
// EMF import (the engine's RenderPicture) and GDI's own player under Wine (the rules of the programs
// EMF pictures are pasted into), and each drawing must agree with pdftoppm's drawing of the PDF
// page. Every word of the PDF page is in the EMF's text records, in reading order.

#include "ConvertCorpus.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "pdfemf/PdfEmf.h"
#include "support/GdiReader.h"
#include "support/PageDifference.h"
#include "support/PictureChecks.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <utility>

using namespace quillet;

namespace {

// Four numbers for how far a drawing of a page is from pdftoppm's, on grey over white. share:
// pixels whose grey, softened by a 3x3 box blur, differs by more than a quarter of the range (text
// set elsewhere or in another face); tile: the largest difference of mean blurred grey over a 16x16
// tile (a missing or extra object, or a wrong tone); local: the most ink in a 24x24 tile with no ink
// within 2 pixels in the other drawing, either way (a glyph mirrored, squeezed over its neighbours
// or in the wrong corner of its cell, which the means wash out); words of the PDF page (pdftotext,
// reading order) missing from the EMF's text records.
using Difference = std::array<double, 4>;
constexpr int kShare = 0, kTile = 1, kLocal = 2, kWords = 3;
const char* const kMeasureNames[] = {"share", "tile", "local", "words missing"};
// Share and tile were set where the former route (Draw's PDF import) passed on the corpus (worst
// share 0.0082; tiles over 30 on 3 of 668 pages, worst 52.1, a comment icon it dropped); local
// where both readers pass the corpus (worst 5 in the office's, 3 in GDI's but for known faults).
constexpr double kLimits[] = {0.01, 30, 12, 0};

Difference difference(const QImage& a, const QImage& b, int wordsMissing)
{
    const quillet::testing::PageDifference d = quillet::testing::DifferenceOf(a, b);
    return {d.share, d.tile, d.local, double(wordsMissing)};
}

// Documents with what the corpus lacks, one kind of content each, saved as .docx and as .doc: name,
// paragraph style, page writing mode, and a body whose every line is one paragraph in that style.
const char* const kClassDocuments[][4] = {
    {"rtl", "Rtl", "lr-tb",
     "שלום עולם\nזהו משפט בעברית לבדיקת כיוון הכתיבה.\nمرحبا بالعالم\nهذه جملة عربية قصيرة.\n"
     "גרסה 2.5 של Quillet יצאה בשנת 2024 עם ABC 123 בפנים"},
    {"scale", "P", "lr-tb",
     "<text:span text:style-name=\"T50\">字符缩放百分之五十 Condensed to half width</text:span>\n"
     "字符缩放百分之百 Letters at their own width\n"
     "<text:span text:style-name=\"T150\">字符缩放一百五 Widened text</text:span>\n"
     "<text:span text:style-name=\"T200\">字符缩放两倍 Double</text:span>"},
    {"alpha", "P", "lr-tb",
     R"(<draw:rect draw:style-name="Half" svg:x="0cm" svg:y="-0.2cm" svg:width="12cm" svg:height="1.5cm"/>)"
     "Text under a band of half opacity: the quick brown fox jumps over the lazy dog. "
     "半透明的形状下面的文字。\n"
     R"(<draw:rect draw:style-name="Red" svg:x="0cm" svg:y="0cm" svg:width="6cm" svg:height="2.5cm"/>)"
     R"(<draw:rect draw:style-name="Green" svg:x="3cm" svg:y="1cm" svg:width="6cm" svg:height="2.5cm"/>)"
     "A shape of half opacity over another one. 形状叠加。\n"
     R"(<draw:rect draw:style-name="Ramp" svg:x="0cm" svg:y="-0.2cm" svg:width="14cm" svg:height="2cm"/>)"
     "Text under a shape that runs from clear to dark. 渐变透明的形状。\n"
     R"(A grey picture of half opacity: <draw:frame text:anchor-type="as-char" svg:width="4cm" svg:height="2cm">)"
     "<draw:image><office:binary-data>GREY-PNG</office:binary-data></draw:image></draw:frame>"},
    {"strokes", "P", "lr-tb",
     R"(<draw:rect draw:style-name="Wide" svg:x="0cm" svg:y="0.8cm" svg:width="6cm" svg:height="2cm"/>)"
     R"(<draw:rect draw:style-name="Dashed" svg:x="8cm" svg:y="0.8cm" svg:width="6cm" svg:height="2cm"/>)"
     "A wide red outline and a dashed blue one."},
    {"vertical", "P", "tb-rl",
     "竖排文字的测试。第一句，第二句、第三句。\n「引号中的文字」，还有句号。\n汉字与标点：，。、「」"},
    // Only its centre shows: the office then keeps all 8200x8200 samples in the PDF of one format.
    {"large", "P", "lr-tb",
     "A picture of 8200 x 8200 samples in four quarters: red, green, blue and yellow meet in the middle.\n"
     R"(<draw:frame draw:style-name="Crop" text:anchor-type="as-char" svg:width="16cm" svg:height="16cm">)"
     "<draw:image><office:binary-data>LARGE-PNG</office:binary-data></draw:image></draw:frame>"},
    {"formula", "P", "lr-tb",
     R"(A formula: <draw:frame text:anchor-type="as-char" svg:width="3cm" svg:height="1.5cm"><draw:object>)"
     R"(<math:math xmlns:math="http://www.w3.org/1998/Math/MathML"><math:mrow><math:mi>x</math:mi><math:mo>=</math:mo>)"
     R"(<math:mfrac><math:mrow><math:mo>−</math:mo><math:mi>b</math:mi></math:mrow><math:mrow><math:mn>2</math:mn>)"
     R"(<math:mi>a</math:mi></math:mrow></math:mfrac></math:mrow></math:math></draw:object></draw:frame> the end.)"},
};

// Their styles: paragraphs, scaled characters, drawn shapes (SHAPE: in front of the text of the
// paragraph they are anchored to), and the page (WRITING-MODE).
const char kShape[] =
    R"(style:wrap="run-through" style:run-through="foreground" style:vertical-pos="from-top" style:vertical-rel="paragraph" style:horizontal-pos="from-left" style:horizontal-rel="paragraph")";
const char kClassStyles[] =
    R"(<office:styles><draw:opacity draw:name="Ramp" draw:style="linear" draw:angle="900" draw:start="0%" draw:end="100%"/>)"
    R"(<draw:stroke-dash draw:name="Dash" draw:style="rect" draw:dots1="1" draw:dots1-length="0.3cm" draw:distance="0.15cm"/>)"
    R"(</office:styles><office:automatic-styles>)"
    R"(<style:style style:name="P" style:family="paragraph"><style:paragraph-properties fo:margin-bottom="3.5cm"/><style:text-properties fo:font-size="14pt" style:font-size-asian="14pt"/></style:style>)"
    R"(<style:style style:name="Rtl" style:family="paragraph"><style:paragraph-properties style:writing-mode="rl-tb" fo:text-align="right" fo:margin-bottom="0.4cm"/><style:text-properties style:font-size-complex="16pt"/></style:style>)"
    R"(<style:style style:name="T50" style:family="text"><style:text-properties style:text-scale="50%"/></style:style>)"
    R"(<style:style style:name="T150" style:family="text"><style:text-properties style:text-scale="150%"/></style:style>)"
    R"(<style:style style:name="T200" style:family="text"><style:text-properties style:text-scale="200%"/></style:style>)"
    R"(<style:style style:name="Half" style:family="graphic"><style:graphic-properties SHAPE draw:stroke="none" draw:fill="solid" draw:fill-color="#2040e0" draw:opacity="50%"/></style:style>)"
    R"(<style:style style:name="Red" style:family="graphic"><style:graphic-properties SHAPE draw:stroke="none" draw:fill="solid" draw:fill-color="#e02020"/></style:style>)"
    R"(<style:style style:name="Green" style:family="graphic"><style:graphic-properties SHAPE draw:stroke="none" draw:fill="solid" draw:fill-color="#20c020" draw:opacity="50%"/></style:style>)"
    R"(<style:style style:name="Ramp" style:family="graphic"><style:graphic-properties SHAPE draw:stroke="none" draw:fill="solid" draw:fill-color="#202020" draw:opacity-name="Ramp"/></style:style>)"
    R"(<style:style style:name="Wide" style:family="graphic"><style:graphic-properties SHAPE draw:fill="solid" draw:fill-color="#ffffff" draw:stroke="solid" svg:stroke-width="0.15cm" svg:stroke-color="#d02020"/></style:style>)"
    R"(<style:style style:name="Dashed" style:family="graphic"><style:graphic-properties SHAPE draw:fill="none" draw:stroke="dash" draw:stroke-dash="Dash" svg:stroke-width="0.06cm" svg:stroke-color="#2040e0"/></style:style>)"
    R"x(<style:style style:name="Crop" style:family="graphic"><style:graphic-properties fo:clip="rect(86.78cm, 86.78cm, 86.78cm, 86.78cm)"/></style:style>)x"
    R"(<style:page-layout style:name="pm"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="2cm" fo:margin-bottom="2cm" fo:margin-left="2cm" fo:margin-right="2cm" style:writing-mode="WRITING-MODE"/></style:page-layout></office:automatic-styles>)"
    R"(<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm"/></office:master-styles><office:body>)";

QString pngBase64(const QImage& image)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return QString::fromLatin1(png.data().toBase64());
}

QByteArray classFlatOdt(const char* const document[4])
{
    QString body;
    for (const QString& paragraph : QString::fromUtf8(document[3]).split('\n'))
        body += QStringLiteral("<text:p text:style-name=\"%1\">%2</text:p>").arg(document[1], paragraph);
    body.replace("<draw:rect ", "<draw:rect text:anchor-type=\"paragraph\" ");
    if (body.contains("LARGE-PNG")) {
        // Four quarters in four colours, as a palette PNG: 67 million samples in about 100 KB.
        QImage large(8200, 8200, QImage::Format_Indexed8);
        large.setColorTable({qRgb(220, 30, 30), qRgb(30, 160, 30), qRgb(30, 60, 220), qRgb(240, 200, 20)});
        for (int y = 0; y < large.height(); ++y) {
            std::fill(large.scanLine(y), large.scanLine(y) + 4100, y < 4100 ? 0 : 2);
            std::fill(large.scanLine(y) + 4100, large.scanLine(y) + 8200, y < 4100 ? 1 : 3);
        }
        body.replace("LARGE-PNG", pngBase64(large));
    }
    // Mid grey at half opacity: GDI reads premultiplied alpha, the office straight, and either
    // misreading moves the grey by 30 levels or more.
    QImage grey(40, 20, QImage::Format_ARGB32);
    grey.fill(qRgba(128, 128, 128, 128));
    body.replace("GREY-PNG", pngBase64(grey));
    const QString styles =
        QString(kClassStyles).replace("SHAPE", kShape).replace("WRITING-MODE", document[2]);
    return (QLatin1String(quillet::testing::flatOdtStart) + styles + "<office:text>" + body +
            "</office:text></office:body></office:document>")
        .toUtf8();
}

// The shared corpus's Word files, the benchmark corpus (twelve 8-page documents and one of 100
// pages) in each of its formats, and the class documents as .docx and .doc: (path, kind), the kind
// "corpus" or the class document's name.
std::vector<std::pair<QString, QString>> sources(lo::LibreOfficeSession& session, const QString& dir)
{
    std::vector<std::pair<QString, QString>> sources;
    for (QDirIterator it(QUILLET_CORPUS_DIR, {"*.docx"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        sources.emplace_back(it.next(), "corpus");
    std::sort(sources.begin(), sources.end());
    for (int i = 0; i < 13; ++i) {
        for (const bench::CorpusFormat& format : bench::CorpusFormats) {
            sources.emplace_back(dir + QStringLiteral("/bench%1.%2").arg(i).arg(format.extension), "corpus");
            bench::SaveFlatOdt(session, bench::CorpusFlatOdt(i == 12 ? 100 : 8, i), sources.back().first,
                               format);
        }
    }
    for (const auto& document : kClassDocuments) {
        for (const bench::CorpusFormat& format : {bench::CorpusFormats[0], bench::CorpusFormats[1]}) {
            sources.emplace_back(dir + QStringLiteral("/%1.%2").arg(document[0], format.extension),
                                 document[0]);
            bench::SaveFlatOdt(session, classFlatOdt(document), sources.back().first, format);
        }
    }
    return sources;
}

constexpr int kOffice = 0, kGdi = 1;
const char* const kReaderNames[] = {"office", "GDI"};

struct PageScore
{
    QString label, kind, reference, emf;
    Difference in[2];
};

// What the limits do not hold a page to: in a reader (-1: both), pages of a kind or of a document,
// a measure (-1: any) up to a measured bound, and why. An entry no page needs fails the test.
struct Known
{
    int reader;
    const char* pages;
    int measure;
    double upTo;
    const char* why;
};
// Where a reader itself cannot draw what a page holds. (64-bit Wine misreads EMR_EXTCREATEPEN too:
// the GDI player mends that one by name, see PlayEmf.c.)
const std::vector<Known> kReaderFaults = {
    {kGdi, "corpus", kTile, 34, "Wine draws glyphs thin and pale at 96 dpi: CJK lines' tiles up to 32.7"},
    {kGdi, "rtl", kTile, 34, "Wine draws glyphs thin and pale; right-to-left words by its advances: 33.0"},
    {kGdi, "scale", kTile, 32, "Wine rounds a narrowed font's width to whole pixels: 31.4"},
};
// Pages the writer does not draw right yet: a fix takes its entry off.
const std::vector<Known> kAwaitingWritersFix = {};

TEST(PdfEmfFidelity, EveryPageMatchesItsPdfInBothReaders)
{
    ASSERT_TRUE(quillet::testing::kGdiReaderBuilt) << "the GDI reader was not built (mingw-w64, wine64)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    lo::LoApplication office;
    std::vector<PageScore> pages;
    for (const auto& [source, kind] : sources(office.session(), dir.path())) {
        const QString name = QFileInfo(source).fileName(), pdfPath = dir.filePath(name + ".pdf");
        bench::WithLoadedDocument(office.session(), source,
                                  [&](const auto& document) { lo::exportPagesPdf(document, pdfPath); });
        pdfemf::PdfDocument pdf(pdfPath);
        ASSERT_TRUE(pdf.isOk()) << name.toStdString();
        const std::vector<quillet::testing::PdfPage> texts = quillet::testing::pdfPages(pdfPath);
        // The office draws a formula only with its formula module: then the PDF holds its text.
        if (name == QLatin1String("formula.docx"))
            EXPECT_TRUE(texts.at(0).text.contains(QLatin1String("2a"))) << "no formula on the page";
        for (int page = 1; page <= pdf.pageCount(); ++page) {
            const QString base = dir.filePath(QStringLiteral("%1-%2").arg(name).arg(page));
            PageScore score{QStringLiteral("%1 page %2").arg(name).arg(page), kind, base + ".png",
                            base + ".emf"};
            const QByteArray emf = pdfemf::emfOfPdfPage(pdf, page);
            EXPECT_TRUE(quillet::testing::IsWellFormedEmf(emf)) << score.label.toStdString();
            const QString number = QString::number(page);
            QProcess::execute("pdftoppm",
                              {"-png", "-r", "96", "-f", number, "-l", number, "-singlefile", pdfPath, base});
            const QImage expected(score.reference);
            ASSERT_FALSE(expected.isNull()) << score.label.toStdString();
            quillet::testing::writeFile(score.emf, emf);
            const int missing =
                quillet::testing::WordsMissing(texts.at(size_t(page - 1)).text, pdfemf::readEmf(emf).text())
                    .size();
            score.in[kGdi][kWords] = missing;
            score.in[kOffice] = difference(
                QImage::fromData(office.RenderPicture(score.emf, expected.size()).bytes), expected, missing);
            pages.push_back(score);
        }
    }
    // GDI draws every page in one run of Wine.
    std::vector<quillet::testing::GdiPicture> pictures;
    for (const PageScore& page : pages)
        pictures.push_back({page.emf, QImage(page.reference).size(), {}});
    const QString gdiRun = quillet::testing::DrawWithGdi(pictures);
    ASSERT_TRUE(gdiRun.isEmpty()) << gdiRun.toStdString();
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i].in[kGdi] =
            difference(pictures[i].image, QImage(pages[i].reference), int(pages[i].in[kGdi][kWords]));

    // Each number over its limit fails the page, unless a known entry bounds it.
    std::map<const Known*, bool> needed;
    for (const PageScore& page : pages) {
        for (const int reader : {kOffice, kGdi}) {
            for (int m = 0; m < 4; ++m) {
                const double value = page.in[reader][m];
                if (value <= kLimits[m])
                    continue;
                const Known* known = nullptr;
                for (const std::vector<Known>* list : {&kReaderFaults, &kAwaitingWritersFix}) {
                    for (const Known& k : *list) {
                        const bool pagesMatch = page.kind == QLatin1String(k.pages) ||
                                                page.label.startsWith(QLatin1String(k.pages) + ' ');
                        if (!known && pagesMatch && (k.reader < 0 || k.reader == reader) &&
                            (k.measure < 0 || k.measure == m) && value <= k.upTo)
                            known = &k;
                    }
                }
                const QString what = QStringLiteral("%1 in the %2 reader: %3 %4")
                                         .arg(page.label, kReaderNames[reader], kMeasureNames[m])
                                         .arg(value);
                if (!known)
                    ADD_FAILURE() << qPrintable(what);
                else if (!std::exchange(needed[known], true) || page.kind != QLatin1String("corpus"))
                    std::printf("known (%s): %s\n", known->why, qPrintable(what));
            }
        }
    }
    for (const std::vector<Known>* list : {&kReaderFaults, &kAwaitingWritersFix}) {
        for (const Known& k : *list)
            EXPECT_TRUE(needed[&k]) << k.pages << ": " << k.why << ": no page needs this any more";
    }

    // The class pages' numbers, and the corpus's worst page per measure, in both readers.
    for (const int reader : {kOffice, kGdi}) {
        for (const PageScore& page : pages) {
            if (page.kind != QLatin1String("corpus"))
                std::printf("%s reader, %s: share %.4f, tile %.1f, local %.0f, words missing %.0f\n",
                            kReaderNames[reader], qPrintable(page.label), page.in[reader][kShare],
                            page.in[reader][kTile], page.in[reader][kLocal], page.in[reader][kWords]);
        }
        for (int m = 0; m < 4; ++m) {
            const auto worst = std::max_element(pages.begin(), pages.end(), [&](auto& a, auto& b) {
                return (a.kind == QLatin1String("corpus") ? a.in[reader][m] : -1) <
                       (b.kind == QLatin1String("corpus") ? b.in[reader][m] : -1);
            });
            std::printf("%s reader, corpus: worst %s %.4g, %s\n", kReaderNames[reader], kMeasureNames[m],
                        worst->in[reader][m], qPrintable(worst->label));
        }
    }
}

} // namespace
