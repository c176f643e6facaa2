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

} // namespace
