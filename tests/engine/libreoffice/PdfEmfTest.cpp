// The in-process page pictures on a PDF the test makes with a private office: a portrait page of
// Latin and CJK text in known faces (bold, italic), a bordered table, a picture and text turned a
// quarter, then a landscape page. Each EMF is read back without the writer's help.

#include "engine/libreoffice/PdfEmf_p.h"

#include "EmfRecords.h"
#include "LoTestOffice.h"
#include "OfficePages.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

QByteArray pngBase64(QRgb fill = qRgb(20, 120, 220))
{
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(fill));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toBase64();
}

QByteArray testDocument()
{
    return QByteArrayLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
               "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
               "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
               "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
               "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
               "office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">"
               "<office:styles><style:style style:name=\"Standard\" style:family=\"paragraph\">"
               "<style:text-properties style:font-name=\"DejaVu Serif\" fo:font-family=\"'DejaVu Serif'\" "
               "style:font-family-asian=\"'Noto Serif CJK JP'\" fo:font-size=\"12pt\" "
               "style:font-size-asian=\"12pt\"/></style:style></office:styles>"
               "<office:automatic-styles>"
               "<style:page-layout style:name=\"PL\"><style:page-layout-properties fo:page-width=\"29.7cm\" "
               "fo:page-height=\"21cm\" style:print-orientation=\"landscape\"/></style:page-layout>"
               "<style:style style:name=\"Wide\" style:family=\"paragraph\" "
               "style:parent-style-name=\"Standard\" "
               "style:master-page-name=\"Landscape\"/>"
               "<style:style style:name=\"B\" style:family=\"text\"><style:text-properties "
               "fo:font-weight=\"bold\" style:font-weight-asian=\"bold\"/></style:style>"
               "<style:style style:name=\"I\" style:family=\"text\"><style:text-properties "
               "fo:font-style=\"italic\"/></style:style>"
               "<style:style style:name=\"Cell\" style:family=\"table-cell\"><style:table-cell-properties "
               "fo:border=\"0.5pt solid #000000\"/></style:style>"
               "<style:style style:name=\"Turned\" style:family=\"graphic\"><style:graphic-properties "
               "draw:stroke=\"none\" draw:fill=\"none\"/></style:style>"
               "</office:automatic-styles>"
               "<office:master-styles><style:master-page style:name=\"Standard\"/>"
               "<style:master-page style:name=\"Landscape\" "
               "style:page-layout-name=\"PL\"/></office:master-styles>"
               "<office:body><office:text>"
               "<text:p>Plain Latin words, <text:span text:style-name=\"I\">italic quillet</text:span> and "
               "<text:span text:style-name=\"B\">粗体中文标题</text:span> 普通中文文字。</text:p>"
               "<table:table table:name=\"T\"><table:table-column table:number-columns-repeated=\"2\"/>"
               "<table:table-row><table:table-cell table:style-name=\"Cell\"><text:p>cell one</text:p>"
               "</table:table-cell><table:table-cell table:style-name=\"Cell\"><text:p>单元二</text:p>"
               "</table:table-cell></table:table-row></table:table>"
               "<text:p><draw:frame draw:name=\"Picture\" text:anchor-type=\"as-char\" svg:width=\"3cm\" "
               "svg:height=\"2cm\"><draw:image><office:binary-data>") +
           pngBase64() +
           QByteArrayLiteral(
               "</office:binary-data></draw:image></draw:frame></text:p>"
               "<text:p><draw:custom-shape draw:style-name=\"Turned\" text:anchor-type=\"paragraph\" "
               "svg:width=\"5cm\" svg:height=\"1cm\" draw:transform=\"rotate(1.5707963) translate(2cm "
               "12cm)\">"
               "<text:p>sideways</text:p><draw:enhanced-geometry draw:type=\"rectangle\"/>"
               "</draw:custom-shape></text:p>"
               "<text:p text:style-name=\"Wide\">Landscape page text 横向页面</text:p>"
               // Half-transparent white: on white paper it must stay white.
               "<text:p><draw:frame draw:name=\"Veil\" text:anchor-type=\"as-char\" svg:width=\"6cm\" "
               "svg:height=\"4cm\"><draw:image><office:binary-data>") +
           pngBase64(qRgba(255, 255, 255, 128)) +
           QByteArrayLiteral("</office:binary-data></draw:image></draw:frame></text:p>"
                             "</office:text></office:body></office:document>");
}

QString pdfText(const QString& pdf, int page)
{
    QProcess process;
    const QString number = QString::number(page);
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

const EmfTextRun* runWith(const EmfContent& content, const QString& text)
{
    for (const EmfTextRun& run : content.runs) {
        if (run.text.contains(text))
            return &run;
    }
    return nullptr;
}

} // namespace

TEST(PdfEmf, PagesOfAnOfficePdfAreVectorPicturesWithTheirText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("test.fodt"));
    const QString pdfPath = dir.filePath(QStringLiteral("test.pdf"));
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testDocument());
    }
    LoTestOffice office;
    OfficePages officePages(office.session(), dir.path());
    officePages.exportPdf(source, pdfPath);
    lo::PdfDocument pdf(pdfPath);
    ASSERT_TRUE(pdf.isOk());
    ASSERT_EQ(pdf.pageCount(), 2);

    struct Expected
    {
        QSizeF pageMm;
        int minBitmaps;
        int minPaths;
    };
    const Expected expected[] = {{{210, 297}, 1, 4}, {{297, 210}, 0, 0}};
    std::vector<EmfContent> pages;
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        const EmfContent content = readEmf(lo::emfOfPdfPage(pdf, page));
        ASSERT_TRUE(content.fault.isEmpty()) << content.fault.toStdString();
        const Expected& e = expected[page - 1];
        EXPECT_NEAR(content.frameMm.width(), e.pageMm.width(), 0.5);
        EXPECT_NEAR(content.frameMm.height(), e.pageMm.height(), 0.5);
        EXPECT_GE(content.bitmaps, e.minBitmaps);
        EXPECT_GE(content.paths, e.minPaths);
        EXPECT_EQ(missingWords(pdfText(pdfPath, page), content.text), QStringList());
        for (const QString& face : content.faces)
            EXPECT_FALSE(face.contains(QLatin1Char('+')) || face.contains(QLatin1Char('-')))
                << face.toStdString();
        pages.push_back(content);
    }

    // Faces by family name, styles as LOGFONT weight and italic, turned text as escapement.
    const EmfTextRun* latin = runWith(pages[0], QStringLiteral("Plain"));
    const EmfTextRun* italic = runWith(pages[0], QStringLiteral("quillet"));
    const EmfTextRun* bold = runWith(pages[0], QStringLiteral("粗体中文"));
    const EmfTextRun* cjk = runWith(pages[0], QStringLiteral("普通中文"));
    const EmfTextRun* sideways = runWith(pages[0], QStringLiteral("sideways"));
    ASSERT_TRUE(latin && italic && bold && cjk && sideways);
    EXPECT_EQ(latin->face, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(latin->weight, 400);
    EXPECT_TRUE(italic->italic);
    EXPECT_EQ(bold->face, QStringLiteral("Noto Serif CJK JP"));
    EXPECT_EQ(bold->weight, 700);
    EXPECT_EQ(cjk->face, QStringLiteral("Noto Serif CJK JP"));
    EXPECT_EQ(cjk->weight, 400);
    EXPECT_TRUE(sideways->escapement == 900 || sideways->escapement == 2700) << sideways->escapement;
    EXPECT_NE(runWith(pages[1], QStringLiteral("横向页面")), nullptr);

    EXPECT_TRUE(lo::emfOfPdfPage(pdf, 3).isEmpty());

    // The office draws the landscape page from our EMF: no grey where the veil lies on white paper.
    const QImage drawn = officePages.render(lo::emfOfPdfPage(pdf, 2), {297, 210}, {1123, 794});
    ASSERT_FALSE(drawn.isNull());
    int grey = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            grey += qGray(drawn.pixel(x, y)) > 150 && qGray(drawn.pixel(x, y)) < 235 ? 1 : 0;
    }
    EXPECT_LT(grey, 3000);
}

TEST(PdfEmf, DamagedPdfGivesNoPages)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\nnot really a PDF\n");
    file.close();
    lo::PdfDocument pdf(path);
    EXPECT_FALSE(pdf.isOk());
    EXPECT_EQ(pdf.pageCount(), 0);
    EXPECT_TRUE(lo::emfOfPdfPage(pdf, 1).isEmpty());
}
