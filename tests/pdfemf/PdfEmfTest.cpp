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
