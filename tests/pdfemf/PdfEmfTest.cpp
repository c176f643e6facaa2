// The PDF-to-EMF writer on PDFs written by hand, without an office: what each page's metafile holds,
// read back through the shared record reader.

#include "pdfemf/PdfEmf.h"

#include "HandMadePdf.h"
#include "pdfemf/EmfRecords.h"
#include "support/PictureChecks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

QByteArray emfOf(const HandMadePdf& pdf, const QByteArray& resources, const QByteArray& content)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    if (!pdf.save(path, resources, content))
        return {};
    pdfemf::PdfDocument document(path);
    return document.isOk() && document.pageCount() == 1 ? pdfemf::emfOfPdfPage(document, 1) : QByteArray();
}

TEST(PdfEmfWriter, PageOfTextPathAndImage)
{
    HandMadePdf pdf(595, 842);
    const int font =
        pdf.addObject("<</Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding>>");
    const QByteArray emf =
        emfOf(pdf, "/Font <</F1 " + QByteArray::number(font) + " 0 R>>",
              "0 0 1 rg 72 600 200 100 re f\n"
              "BT /F1 24 Tf 72 720 Td (Hello page) Tj ET\n"
              "q 40 0 0 30 300 300 cm BI /W 2 /H 2 /CS /RGB /BPC 8 ID\n" +
                  QByteArray("\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff", 12) + "\nEI Q\n");
    ASSERT_TRUE(IsWellFormedEmf(emf));
    const pdfemf::EmfContent content = pdfemf::readEmf(emf);
    EXPECT_NEAR((content.frame.right - content.frame.left + 1) / 100.0, 210, 0.5); // A4 in mm
    EXPECT_NEAR((content.frame.bottom - content.frame.top + 1) / 100.0, 297, 0.5);
    EXPECT_EQ(content.text(), QStringLiteral("Hello page"));
    EXPECT_EQ(content.bitmaps, 1);
    EXPECT_EQ(content.paths, 1);
}

// The stroked paths of a page.
std::vector<pdfemf::EmfPathRecord> strokes(const pdfemf::EmfContent& content)
{
    std::vector<pdfemf::EmfPathRecord> out;
    for (const pdfemf::EmfPathRecord& path : content.pathRecords) {
        if (path.operation == pdfemf::EMR_STROKEPATH)
            out.push_back(path);
    }
    return out;
}

// Dashes are figures of their own under a solid pen (readers disagree on the pen's own dash
// styles); at 20 units a point a 4-point pen is 80 units wide.
TEST(PdfEmfWriter, DashesAreFiguresOfASolidPen)
{
    struct Row
    {
        const char* what;
        QByteArray content;
        std::vector<std::pair<int, int>> spans; // x of the first and last point of each figure
    };
    const std::vector<Row> rows{
        {"solid line", "4 w 72 700 m 172 700 l S", {{1440, 3440}}},
        {"dashes 12 on 6 off, 3 into the pattern",
         "4 w [12 6] 3 d 72 700 m 172 700 l S",
         {{1440, 1620}, {1740, 1980}, {2100, 2340}, {2460, 2700}, {2820, 3060}, {3180, 3420}}},
        {"odd pattern repeated: 5 on 5 off",
         "4 w [5] 0 d 72 700 m 122 700 l S",
         {{1440, 1540}, {1640, 1740}, {1840, 1940}, {2040, 2140}, {2240, 2340}}},
        {"a zero dash array is solid", "4 w [0 0] 0 d 72 700 m 172 700 l S", {{1440, 3440}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<pdfemf::EmfPathRecord> stroked =
            strokes(pdfemf::readEmf(emfOf(HandMadePdf(595, 842), {}, row.content)));
        ASSERT_EQ(stroked.size(), 1u);
        EXPECT_EQ(stroked[0].penStyle & 0xf, 0u) << "PS_SOLID";
        EXPECT_EQ(stroked[0].penWidth, 80);
        std::vector<std::pair<int, int>> spans;
        for (const std::vector<QPoint>& figure : stroked[0].figures)
            spans.emplace_back(figure.front().x(), figure.back().x());
        EXPECT_EQ(spans, row.spans);
    }
}

} // namespace
