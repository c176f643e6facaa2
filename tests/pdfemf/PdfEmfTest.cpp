// The PDF-to-EMF writer on PDFs written by hand, without an office: what each page's metafile holds,
// read back through the shared record reader.

#include "pdfemf/PdfEmf.h"

#include "HandMadePdf.h"
#include "pdfemf/EmfRecords.h"
#include "support/PictureChecks.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
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
        EXPECT_EQ(stroked.size(), 1u);
        if (stroked.size() != 1)
            continue;
        EXPECT_EQ(stroked[0].penStyle & 0xf, 0u) << "PS_SOLID";
        EXPECT_EQ(stroked[0].penWidth, 80);
        std::vector<std::pair<int, int>> spans;
        for (const std::vector<QPoint>& figure : stroked[0].figures)
            spans.emplace_back(figure.front().x(), figure.back().x());
        EXPECT_EQ(spans, row.spans);
    }
}

// The colour of a bitmap record's pixel at device point `at` (20 units a point), with its alpha.
QRgb pixelAt(const QByteArray& emf, const pdfemf::EmfBitmapRecord& bitmap, QPoint at)
{
    const int x =
        int(int64_t(at.x() - bitmap.target.left) * bitmap.width / (bitmap.target.right - bitmap.target.left));
    const int y =
        int(int64_t(at.y() - bitmap.target.top) * bitmap.height / (bitmap.target.bottom - bitmap.target.top));
    const int bytes = bitmap.bitCount / 8;
    const qsizetype stride = (qsizetype(bitmap.width) * bytes + 3) & ~3;
    const uchar* p = reinterpret_cast<const uchar*>(emf.constData()) + bitmap.bits +
                     stride * (bitmap.height - 1 - y) + qsizetype(x) * bytes;
    return qRgba(p[2], p[1], p[0], bytes == 4 ? p[3] : 255);
}

::testing::AssertionResult IsNear(QRgb actual, QRgb expected)
{
    for (const int shift : {0, 8, 16, 24}) {
        if (std::abs(int(actual >> shift & 0xff) - int(expected >> shift & 0xff)) > 3)
            return ::testing::AssertionFailure() << std::hex << "ARGB " << actual << ", not " << expected;
    }
    return ::testing::AssertionSuccess();
}

// What lies under a translucent paint shows through in both readers' terms: over bare paper the
// paint is mixed over white; over something it is a picture of the page there (what pdftoppm
// draws); per-pixel alpha is only ever 0 (black) or 255, as GDI (premultiplied) and the office's
// reader (straight) both read it. Red at half opacity over black is (128, 0, 0).
TEST(PdfEmfWriter, TranslucentPaintsShowWhatLiesBeneath)
{
    const QByteArray black = "0 g 100 600 100 100 re f\n"; // device x 2000..4000, y 2840..4840
    const QPoint overBlack{3500, 3840}, overPaper{5000, 3840};
    using Check = std::function<void(const QByteArray&, const pdfemf::EmfContent&)>;
    const Check mixedOverWhite = [](const QByteArray&, const pdfemf::EmfContent& content) {
        EXPECT_TRUE(content.bitmapRecords.empty());
        ASSERT_FALSE(content.pathRecords.empty());
        EXPECT_EQ(content.pathRecords.back().brushColor, 0x8080ffu) << "red at half over white, as COLORREF";
    };
    const Check pictured = [&](const QByteArray& emf, const pdfemf::EmfContent& content) {
        ASSERT_EQ(content.bitmapRecords.size(), 1u);
        const pdfemf::EmfBitmapRecord& picture = content.bitmapRecords[0];
        EXPECT_EQ(picture.type, pdfemf::EMR_STRETCHDIBITS);
        EXPECT_TRUE(IsNear(pixelAt(emf, picture, overBlack), qRgb(128, 0, 0)));
        EXPECT_TRUE(IsNear(pixelAt(emf, picture, overPaper), qRgb(255, 127, 127)));
    };
    struct Row
    {
        const char* what;
        QByteArray content;
        Check check;
    };
    HandMadePdf pdf(595, 842);
    const int half = pdf.addObject("<</Type /ExtGState /ca 0.5 /CA 0.5>>");
    const int group = pdf.addObject(HandMadePdf::stream(
        "/Type /XObject /Subtype /Form /BBox [150 600 300 700] /Group <</S /Transparency /K true>>",
        "1 0 0 rg 150 600 150 100 re f"));
    // Two red pixels, both at alpha 128.
    const int mask = pdf.addObject(HandMadePdf::stream("/Type /XObject /Subtype /Image /Width 2 /Height 1 "
                                                       "/ColorSpace /DeviceGray /BitsPerComponent 8",
                                                       QByteArray("\x80\x80", 2)));
    const int image = pdf.addObject(HandMadePdf::stream("/Type /XObject /Subtype /Image /Width 2 /Height 1 "
                                                        "/ColorSpace /DeviceRGB /BitsPerComponent 8 /SMask " +
                                                            QByteArray::number(mask) + " 0 R",
                                                        QByteArray("\xff\x00\x00\xff\x00\x00", 6)));
    const QByteArray resources = "/ExtGState <</Half " + QByteArray::number(half) +
                                 " 0 R>> /XObject <</Group " + QByteArray::number(group) + " 0 R /Image " +
                                 QByteArray::number(image) + " 0 R>>";
    const QByteArray redGroup = "/Half gs /Group Do\n";
    const QByteArray redImage = "q 200 0 0 100 150 600 cm /Image Do Q\n";
    const std::vector<Row> rows{
        {"group at half opacity over bare paper", redGroup, mixedOverWhite},
        {"group at half opacity over black", black + redGroup, pictured},
        {"image with half alpha over bare paper", redImage,
         [](const QByteArray& emf, const pdfemf::EmfContent& content) {
             ASSERT_EQ(content.bitmapRecords.size(), 1u);
             EXPECT_EQ(content.bitmapRecords[0].type, pdfemf::EMR_STRETCHDIBITS);
             EXPECT_TRUE(IsNear(pixelAt(emf, content.bitmapRecords[0], {5000, 3840}), qRgb(255, 127, 127)));
         }},
        {"image with half alpha over black", black + redImage, pictured},
        {"stroke at half opacity over black", black + "/Half gs 1 0 0 RG 100 w 150 650 m 300 650 l S\n",
         [&](const QByteArray& emf, const pdfemf::EmfContent& content) {
             pictured(emf, content);
             ASSERT_FALSE(content.pathRecords.empty());
             EXPECT_EQ(content.pathRecords.back().operation, pdfemf::EMR_SELECTCLIPPATH)
                 << "the stroke's outline";
         }},
        {"stencil mask: opaque or transparent black, premultiplied",
         "1 0 0 rg q 200 0 0 100 100 600 cm BI /W 2 /H 1 /IM true /BPC 1 ID \x40\nEI Q\n",
         [](const QByteArray& emf, const pdfemf::EmfContent& content) {
             ASSERT_EQ(content.bitmapRecords.size(), 1u);
             EXPECT_EQ(content.bitmapRecords[0].type, pdfemf::EMR_ALPHABLEND);
             EXPECT_EQ(content.bitmapRecords[0].blend, 0x01FF0000u) << "per-pixel alpha, no constant alpha";
             EXPECT_TRUE(IsNear(pixelAt(emf, content.bitmapRecords[0], {3000, 3840}), qRgba(255, 0, 0, 255)));
             EXPECT_TRUE(IsNear(pixelAt(emf, content.bitmapRecords[0], {5000, 3840}), qRgba(0, 0, 0, 0)));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray emf = emfOf(pdf, resources, row.content);
        const pdfemf::EmfContent content = pdfemf::readEmf(emf);
        EXPECT_TRUE(content.fault.isEmpty()) << content.fault.toStdString();
        row.check(emf, content);
    }
}

// A grey image of width x height samples, one bit each, Flate-compressed: big images stay small.
QByteArray bigImage(int width, int height)
{
    QByteArray row((width + 7) / 8, '\0');
    row.fill('\xff', row.size() / 2);
    QByteArray samples;
    samples.reserve(row.size() * height);
    for (int y = 0; y < height; ++y)
        samples += row;
    const QByteArray flate = qCompress(samples).mid(4); // zlib's own stream, without Qt's length
    return HandMadePdf::stream("/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) +
                                   " /Height " + QByteArray::number(height) +
                                   " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /FlateDecode",
                               flate);
}

// No image is dropped, and none is kept finer than the page can show: an image of more than 4M
// samples in view is drawn at 300 dpi of its size on the page; only the part in view is drawn.
TEST(PdfEmfWriter, LargeImagesAreDrawnAtWhatThePageShows)
{
    struct Row
    {
        const char* what;
        int width, height;
        QByteArray content;
        QSize minimum, maximum; // the bitmap's pixels
        int targetWidth;        // device units, 1440 an inch
    };
    const std::vector<Row> rows{
        {"8200 x 8200 samples, past the former limit, at 2 inches",
         8200,
         8200,
         "q 144 0 0 144 100 500 cm /Im Do Q",
         {600, 600},
         {600, 600},
         2880},
        {"2100 x 2100 samples at an inch: 300 dpi",
         2100,
         2100,
         "q 72 0 0 72 100 500 cm /Im Do Q",
         {300, 300},
         {300, 300},
         1440},
        {"the same turned by 30 degrees: resampled at that density",
         2100,
         2100,
         "q 62.35 36 -36 62.35 100 500 cm /Im Do Q",
         {380, 380},
         {420, 420},
         1967},
        {"1000 x 1000 samples over 10 inches, an inch of it in view",
         1000,
         1000,
         "q 100 500 72 72 re W n 720 0 0 720 100 500 cm /Im Do Q",
         {100, 100},
         {101, 101},
         1440},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HandMadePdf pdf(595, 842);
        const int image = pdf.addObject(bigImage(row.width, row.height));
        const pdfemf::EmfContent content = pdfemf::readEmf(
            emfOf(pdf, "/XObject <</Im " + QByteArray::number(image) + " 0 R>>", row.content));
        EXPECT_EQ(content.bitmapRecords.size(), 1u);
        if (content.bitmapRecords.size() != 1)
            continue;
        const pdfemf::EmfBitmapRecord& bitmap = content.bitmapRecords[0];
        EXPECT_GE(bitmap.width, row.minimum.width());
        EXPECT_LE(bitmap.width, row.maximum.width());
        EXPECT_GE(bitmap.height, row.minimum.height());
        EXPECT_LE(bitmap.height, row.maximum.height());
        EXPECT_NEAR(bitmap.target.right - bitmap.target.left, row.targetWidth, 4);
    }
}


// A font whose codes 1, 2, ... stand for `glyphs` (a ligature is several characters) through its
// ToUnicode map, each glyph 500 units wide: text in any script, in the order the test draws it.
class CodedFont
{
public:
    CodedFont(HandMadePdf& pdf, const QByteArray& baseFont, const QStringList& glyphs) : m_glyphs(glyphs)
    {
        QByteArray map = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CMapName /Coded def\n"
                         "1 begincodespacerange <01> <FF> endcodespacerange\n" +
                         QByteArray::number(glyphs.size()) + " beginbfchar\n";
        QByteArray widths;
        for (int i = 0; i < glyphs.size(); ++i) {
            map += "<" + code(i) + "> <";
            for (QChar c : glyphs[i])
                map += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
            map += ">\n";
            widths += "500 ";
        }
        map += "endbfchar endcmap CMapName currentdict /CMap defineresource pop end end";
        const int toUnicode = pdf.addObject(HandMadePdf::stream({}, map));
        m_object =
            pdf.addObject("<</Type /Font /Subtype /Type1 /BaseFont /" + baseFont +
                          " /FirstChar 1 /LastChar " + QByteArray::number(glyphs.size()) + " /Widths [" +
                          widths + "] /ToUnicode " + QByteArray::number(toUnicode) + " 0 R>>");
    }
    QByteArray resource(const QByteArray& name) const
    {
        return name + " " + QByteArray::number(m_object) + " 0 R";
    }
    // The glyphs, each a character of `text` or a ligature in brackets ("[لا]"), as a PDF string;
    // a character the font lacks is its own code, without text in the ToUnicode map.
    QByteArray show(const QString& text) const
    {
        QByteArray codes = "<";
        for (int i = 0; i < text.size(); ++i) {
            const int end = text[i] == '[' ? int(text.indexOf(']', i)) : i;
            const int glyph = int(m_glyphs.indexOf(end > i ? text.mid(i + 1, end - i - 1) : text.mid(i, 1)));
            codes += glyph < 0 ? QByteArray::number(text[i].unicode(), 16) : code(glyph);
            i = end;
        }
        return codes + ">";
    }

private:
    static QByteArray code(int index) { return QByteArray::number(index + 1, 16).rightJustified(2, '0'); }
    QStringList m_glyphs;
    int m_object = 0;
};

// Text records hold reading order whatever the page's drawing order, mark right-to-left words as
// such, and show punctuation of a vertical column in its vertical form, as the page draws it.
TEST(PdfEmfWriter, TextRecordsInReadingOrder)
{
    const QStringList glyphs =
        QString("שלוםעabcd 137.()「」文竖排。مس\u05B8").split(QString(), Qt::SkipEmptyParts)
        << QStringLiteral("لا");
    struct Row
    {
        const char* what;
        QString content; // `glyphs` strings in {}, drawn with font F1 at 20 points
        QStringList texts;
        QList<bool> rightToLeft;
    } rows[] = {
        {"Hebrew line", "BT 100 700 Td {םלוע םולש} Tj ET", {"שלום ", "עולם"}, {true, true}},
        {"Hebrew word in a Latin line",
         "BT 100 700 Td {ab םולש cd} Tj ET",
         {"ab ", "שלום", " cd"},
         {false, true, false}},
        {"Arabic ligature", "BT 100 700 Td {م[لا]س} Tj ET", {"سلام"}, {true}},
        {"number in a Hebrew run", "BT 100 700 Td {137 םע} Tj ET", {"עם ", "137"}, {true, false}},
        {"kashida, a glyph the ToUnicode map leaves out, in an Arabic word",
         "BT 100 700 Td {م6س} Tj ET",
         {"سـم"},
         {true}},
        {"vowel point under its letter, which the page draws after it",
         "BT 100 700 Td {ל} Tj 1 0 0 1 120 694 Tm {\u05B8} Tj 1 0 0 1 119.9 700 Tm {ש} Tj ET",
         {"ש\u05B8ל"},
         {true}},
        {"full stop of a Hebrew line in a run of its own",
         "BT 300 700 Td {םולש} Tj ET BT 280 700 Td {.} Tj ET",
         {"שלום", "."},
         {true, true}},
        {"vowel point whose glyph's own text is wrong, with its text given (ActualText)",
         "BT 100 700 Td {ל} Tj /Span <</ActualText <FEFF05B8>>> BDC {a} Tj EMC {ש} Tj ET",
         {"ש\u05B8ל"},
         {true}},
        {"Hebrew line that starts with a Latin word, its bracket in a run of its own",
         "BT 100 750 Td {םולש} Tj ET BT 300 700 Td {ab} Tj ET BT 285 700 Td {(} Tj ET",
         {"שלום", "ab", "("},
         {true, false, true}},
        {"vertical column, and the next one",
         "BT 1 0 0 1 300 700 Tm {竖} Tj 1 0 0 1 300 680 Tm {排} Tj "
         "1 0 0 1 300 660 Tm {。} Tj 1 0 0 1 270 700 Tm {「} Tj ET",
         {"竖", "排", "︒", "﹁"},
         {false, false, false, false}},
        {"horizontal line", "BT 100 700 Td {「文。」} Tj ET", {"「文。」"}, {false}},
    };
    for (const Row& row : rows) {
        HandMadePdf pdf(595, 842);
        const CodedFont font(pdf, "DejaVuSans", glyphs);
        QByteArray content;
        for (const QString& part : row.content.split('{')) {
            const qsizetype close = part.indexOf('}');
            content +=
                close < 0 ? part.toLatin1() : font.show(part.left(close)) + part.mid(close + 1).toLatin1();
        }
        const pdfemf::EmfContent emf = pdfemf::readEmf(
            emfOf(pdf, "/Font <<" + font.resource("/F1") + ">>", content.replace("BT ", "BT /F1 20 Tf ")));
        QStringList texts;
        QList<bool> rightToLeft;
        for (const pdfemf::EmfTextRecord& record : emf.texts) {
            texts << record.text;
            rightToLeft << bool(record.options & pdfemf::ETO_RTLREADING);
        }
        EXPECT_EQ(texts.join('|').toStdString(), row.texts.join('|').toStdString()) << row.what;
        EXPECT_EQ(rightToLeft, row.rightToLeft) << row.what;
    }
}

// Condensed and expanded text (Tz) draws narrowed or widened glyphs: the font's width is the face's
// own average width scaled, and for the office's reader, which measures the average on ASCII
// letters, a horizontal scale is in force while the font is created.
TEST(PdfEmfWriter, CondensedAndExpandedGlyphs)
{
    HandMadePdf pdf(595, 842);
    // Noto Sans CJK SC (fonts-noto-cjk): an OS/2 average width of 979 units of 1000.
    const CodedFont font(pdf, "NotoSansCJKsc-Regular", {"字", "A"});
    QByteArray content;
    for (int scale : {50, 100, 200})
        content += "BT /F1 20 Tf " + QByteArray::number(scale) + " Tz 100 " + QByteArray::number(scale * 2) +
                   " Td " + font.show("字A") + " Tj ET\n";
    content += "BT /F1 20 Tf 100 Tz 1 0 0.3 1 100 600 Tm " + font.show("字A") + " Tj ET\n"; // slanted
    const pdfemf::EmfContent emf =
        pdfemf::readEmf(emfOf(pdf, "/Font <<" + font.resource("/F1") + ">>", content));
    ASSERT_EQ(emf.texts.size(), 4u);
    const double em = 20 * 20; // 20 points at 1440 units an inch
    EXPECT_NEAR(emf.texts[0].font.width, 0.5 * 0.979 * em, 1);
    EXPECT_EQ(emf.texts[1].font.width, 0);
    EXPECT_NEAR(emf.texts[2].font.width, 2 * 0.979 * em, 1);
    EXPECT_EQ(emf.texts[3].font.width, 0);
    EXPECT_EQ(emf.texts[0].dx, (std::vector<int32_t>{100, 100}));
    int scaledCreations = 0;
    for (size_t i = 0; i + 2 < emf.types.size(); ++i) {
        scaledCreations += emf.types[i] == pdfemf::EMR_SETWORLDTRANSFORM &&
                           emf.types[i + 1] == pdfemf::EMR_EXTCREATEFONTINDIRECTW &&
                           emf.types[i + 2] == pdfemf::EMR_MODIFYWORLDTRANSFORM;
    }
    EXPECT_EQ(scaledCreations, 2);
}

} // namespace
