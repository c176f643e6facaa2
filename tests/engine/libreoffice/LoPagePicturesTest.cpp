// Page pictures through the engine on a document the test builds: a portrait page of Latin and CJK
// text in known faces (bold, italic), a bordered table, a picture and text turned a quarter, then a
// landscape page with a comment and a half-transparent white picture. Each EMF is read back here;
// how the readers draw them is the fidelity test's (tests/pdfemf).

#include "LoTestOffice.h"
#include "TestDocuments.h"
#include "engine/libreoffice/LoApplication_p.h"
#include "support/PictureChecks.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

// An in-line picture of `size` in one colour.
QByteArray frame(const char* size, QRgb fill)
{
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(fill));
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return "<text:p><draw:frame text:anchor-type=\"as-char\" " + QByteArray(size) +
           "><draw:image><office:binary-data>" + png.data().toBase64() +
           "</office:binary-data></draw:image></draw:frame></text:p>";
}

QByteArray testDocument()
{
    return QByteArray(flatOdtStart) +
           "<office:styles>"
           "<style:style style:name=\"Standard\" style:family=\"paragraph\"><style:text-properties "
           "fo:font-family=\"'DejaVu Serif'\" style:font-family-asian=\"'Noto Serif CJK JP'\" "
           "fo:font-size=\"12pt\" style:font-size-asian=\"12pt\"/></style:style></office:styles>"
           "<office:automatic-styles><style:page-layout style:name=\"PL\"><style:page-layout-properties "
           "fo:page-width=\"29.7cm\" fo:page-height=\"21cm\" style:print-orientation=\"landscape\"/>"
           "</style:page-layout><style:style style:name=\"Wide\" style:family=\"paragraph\" "
           "style:parent-style-name=\"Standard\" style:master-page-name=\"Landscape\"/>"
           "<style:style style:name=\"B\" style:family=\"text\"><style:text-properties "
           "fo:font-weight=\"bold\" style:font-weight-asian=\"bold\"/></style:style>"
           "<style:style style:name=\"I\" style:family=\"text\"><style:text-properties "
           "fo:font-style=\"italic\"/></style:style><style:style style:name=\"Cell\" "
           "style:family=\"table-cell\"><style:table-cell-properties fo:border=\"0.5pt solid #000000\"/>"
           "</style:style><style:style style:name=\"Turned\" style:family=\"graphic\">"
           "<style:graphic-properties draw:stroke=\"none\" draw:fill=\"none\"/></style:style>"
           "</office:automatic-styles><office:master-styles><style:master-page style:name=\"Standard\"/>"
           "<style:master-page style:name=\"Landscape\" style:page-layout-name=\"PL\"/>"
           "</office:master-styles><office:body><office:text><text:p>Plain Latin words, <text:span "
           "text:style-name=\"I\">italic quillet</text:span> and <text:span text:style-name=\"B\">"
           "粗体中文标题</text:span> 普通中文文字。</text:p><table:table table:name=\"T\">"
           "<table:table-column table:number-columns-repeated=\"2\"/><table:table-row>"
           "<table:table-cell table:style-name=\"Cell\"><text:p>cell one</text:p></table:table-cell>"
           "<table:table-cell table:style-name=\"Cell\"><text:p>单元二</text:p></table:table-cell>"
           "</table:table-row></table:table>" +
           frame("svg:width=\"3cm\" svg:height=\"2cm\"", qRgb(20, 120, 220)) +
           "<text:p><draw:custom-shape draw:style-name=\"Turned\" text:anchor-type=\"paragraph\" "
           "svg:width=\"5cm\" svg:height=\"1cm\" draw:transform=\"rotate(1.5707963) translate(2cm 12cm)\">"
           "<text:p>sideways</text:p><draw:enhanced-geometry draw:type=\"rectangle\"/></draw:custom-shape>"
           "</text:p><text:p text:style-name=\"Wide\">Landscape page text 横向页面<office:annotation>"
           "<dc:creator>A</dc:creator><text:p>a comment</text:p></office:annotation></text:p>" +
           frame("svg:width=\"6cm\" svg:height=\"4cm\"", qRgba(255, 255, 255, 128)) +
           "</office:text></office:body></office:document>";
}

TEST(LoPagePictures, PagesAreVectorPicturesWithTheirTextInRealFaces)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("test.fodt"));
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(testDocument()) > 0);
    file.close();
    lo::LoApplication office;
    auto document = office.Documents().Open(source);
    const WalkResult walk = walkPages(*document, office.Selection(), office.Browser());
    ASSERT_EQ(walk.starts.size(), 2u);

    std::vector<pdfemf::EmfContent> pages;
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page + 1);
        document->Range(walk.starts[page], walk.pageEnd(page))->Copy();
        const QByteArray bytes = office.Clipboard().fetch().contents();
        ASSERT_TRUE(IsWellFormedEmf(bytes));
        const pdfemf::EmfContent content = pdfemf::readEmf(bytes);
        const pdfemf::EmfRect& frame = content.frame; // 0.01 mm
        EXPECT_NEAR((frame.right - frame.left + 1) / 100.0, page == 0 ? 210 : 297,
                    0.5); // portrait, then landscape
        EXPECT_NEAR((frame.bottom - frame.top + 1) / 100.0, page == 0 ? 297 : 210, 0.5);
        EXPECT_EQ(content.bitmaps, 1); // the picture, the veil
        for (const pdfemf::EmfTextRecord& run : content.texts)
            EXPECT_FALSE(run.font.face.contains(QLatin1Char('+')) || run.font.face.contains(QLatin1Char('-')))
                << run.font.face.toStdString();
        pages.push_back(content);
    }
    document->Close(false);
    EXPECT_GE(pages[0].paths, 4); // the table's rules
    EXPECT_EQ(pages[1].paths, 0); // no icon for the comment

    // Faces by family name, styles as LOGFONT weight and italic, turned text as escapement.
    const std::tuple<int, const char*, const char*, int, bool, int> fonts[] = {
        {0, "Plain Latin words,", "DejaVu Serif", 400, false, 0},
        {0, "italic quillet", "DejaVu Serif", 400, true, 0},
        {0, "粗体中文标题", "Noto Serif CJK JP", 700, false, 0},
        {0, "普通中文文字", "Noto Serif CJK JP", 400, false, 0},
        {0, "单元二", "Noto Serif CJK JP", 400, false, 0},
        {0, "sideways", "DejaVu Serif", 400, false, 900}, // a quarter turn, either way
        {1, "横向页面", "Noto Serif CJK JP", 400, false, 0}};
    for (const auto& [page, text, face, weight, italic, escapement] : fonts) {
        const auto run = std::find_if(
            pages[page].texts.begin(), pages[page].texts.end(),
            [&](const pdfemf::EmfTextRecord& run) { return run.text.contains(QString::fromUtf8(text)); });
        ASSERT_NE(run, pages[page].texts.end()) << text;
        EXPECT_EQ(run->font.face.toStdString(), face) << text;
        EXPECT_EQ(run->font.weight, weight) << text;
        EXPECT_EQ(run->font.italic, italic) << text;
        EXPECT_EQ(std::abs(run->font.escapement) % 1800, escapement) << text;
    }

}

} // namespace
