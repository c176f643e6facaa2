// The document side of the LibreOffice backend against a real, private soffice, on documents the
// test builds itself (flat ODT converted to .docx, .doc and .rtf).

#include "LoTestOffice.h"
#include "OfficeProcessProbe.h"
#include "TestDocuments.h"
#include "support/PictureChecks.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

class LoDocumentTest : public ::testing::TestWithParam<const char*>
{
protected:
    static void SetUpTestSuite() { s_office = new LoTestOffice; }
    static void TearDownTestSuite()
    {
        const qint64 group = s_office->session().pid();
        delete s_office;
        s_office = nullptr;
        EXPECT_TRUE(group == 0 || waitUntilGroupGone(group)) << "office processes left in group " << group;
    }

    QString document(const TestDocumentSpec& spec)
    {
        return testDocument(spec, QString::fromLatin1(GetParam()));
    }

    static LoTestOffice* s_office;
};

LoTestOffice* LoDocumentTest::s_office = nullptr;

QString joined(const QByteArray& emf)
{
    return WalkEmf(emf).texts.join(QString());
}

TEST_P(LoDocumentTest, WalksSevenPagesAndRendersEachPageWithItsOwnText)
{
    TestDocumentSpec spec;
    spec.pages = 7;
    spec.tableAtPageStart = 4; // page 4 starts inside a table cell
    spec.header = true;        // the page walk stays in the main text, never in the header
    auto doc = s_office->open(document(spec));

    EXPECT_TRUE(doc->Lists().empty()) << "list numbers are part of the rendered pages already";
    const WalkResult walk = walkPages(*doc, s_office->selection(), s_office->browser());
    ASSERT_EQ(walk.starts.size(), 7u) << "pages found";
    EXPECT_EQ(walk.starts.front(), 0);
    for (std::size_t i = 1; i < walk.starts.size(); ++i)
        EXPECT_GT(walk.starts[i], walk.starts[i - 1]) << "page " << i + 1;
    EXPECT_GT(walk.documentEnd, walk.starts.back());
    EXPECT_TRUE(walk.lastNextStayed);

    for (int page : {1, 3, 4, 7}) {
        const CharPosition start = walk.starts[page - 1];
        const CharPosition end = page < 7 ? walk.starts[page] : walk.documentEnd;
        doc->Range(start, end)->Copy();
        const Picture picture = s_office->slot().fetch();
        ASSERT_FALSE(picture.isEmpty()) << "page " << page;
        EXPECT_EQ(picture.format, QStringLiteral("emf"));
        EXPECT_TRUE(IsWellFormedEmf(picture.bytes)) << "page " << page;
        const QString text = joined(picture.bytes);
        EXPECT_TRUE(text.contains(pageMarker(page))) << "page " << page << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("%1.").arg(page))) << "list number on page " << page;
        EXPECT_TRUE(text.contains(QStringLiteral("HEADER-LINE"))) << "header on page " << page;
        for (int other = 1; other <= 7; ++other) {
            if (other != page)
                EXPECT_FALSE(text.contains(pageMarker(other))) << "page " << page << " shows page " << other;
        }
    }

    // A stretch that is not one walked page gives an empty picture, never another page's.
    doc->Range(walk.starts[1] + 1, walk.starts[2])->Copy();
    EXPECT_TRUE(s_office->slot().fetch().isEmpty());

    doc->Close(false);
    try {
        doc->Select();
        ADD_FAILURE() << "a closed document answered";
    } catch (const EngineError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::NoDocument);
    }
}

TEST_P(LoDocumentTest, WalksADocumentThatStartsWithATable)
{
    TestDocumentSpec spec;
    spec.pages = 3;
    spec.tableAtPageStart = 1;
    auto doc = s_office->open(document(spec));

    const WalkResult walk = walkPages(*doc, s_office->selection(), s_office->browser());
    ASSERT_EQ(walk.starts.size(), 3u);
    EXPECT_LT(walk.starts[0], walk.starts[1]);
    EXPECT_LT(walk.starts[1], walk.starts[2]);

    doc->Range(walk.starts[0], walk.starts[1])->Copy();
    const Picture first = s_office->slot().fetch();
    ASSERT_TRUE(IsWellFormedEmf(first.bytes));
    EXPECT_TRUE(joined(first.bytes).contains(pageMarker(1)));
    doc->Close(false);
}

// Without tables the walk counts from page to page; with one it places pages through the body's
// enumeration. Both must place a page that starts inside a paragraph.
TEST_P(LoDocumentTest, WalksPagesThatStartInsideAParagraph)
{
    for (int tablePage : {0, 2}) {
        SCOPED_TRACE(tablePage ? "with a table" : "without tables");
        TestDocumentSpec spec;
        spec.pages = 2;
        spec.longParagraph = true; // page 1's last paragraph runs over the following pages
        spec.tableAtPageStart = tablePage;
        auto doc = s_office->open(document(spec));

        const WalkResult walk = walkPages(*doc, s_office->selection(), s_office->browser());
        ASSERT_GE(walk.starts.size(), 4u) << "the long paragraph adds pages";
        for (std::size_t i = 1; i < walk.starts.size(); ++i)
            EXPECT_GT(walk.starts[i], walk.starts[i - 1]) << "page " << i + 1;

        // The page after the first starts inside the long paragraph and shows none of the markers.
        doc->Range(walk.starts[1], walk.starts[2])->Copy();
        const Picture second = s_office->slot().fetch();
        ASSERT_TRUE(IsWellFormedEmf(second.bytes));
        const QString text = joined(second.bytes);
        EXPECT_TRUE(text.contains(QStringLiteral("word"))) << text.toStdString();
        EXPECT_FALSE(text.contains(pageMarker(1)));
        EXPECT_FALSE(text.contains(pageMarker(2)));

        // The last page holds the second marker.
        doc->Range(walk.starts.back(), walk.documentEnd)->Copy();
        EXPECT_TRUE(joined(s_office->slot().fetch().bytes).contains(pageMarker(2)));
        doc->Close(false);
    }
}

// Words (white-space separated) of a PDF page that the page's EMF texts do not hold.
QStringList wordsMissing(const QString& pdfText, const QByteArray& emf)
{
    QString emfText = WalkEmf(emf).texts.join(QString());
    emfText.remove(QRegularExpression(QStringLiteral("\\s")));
    QStringList missing;
    for (const QString& word :
         pdfText.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        if (!emfText.contains(word))
            missing << word;
    }
    return missing;
}

// Page k of the walk copies as page k of the document's own PDF export, whatever the page holds:
// the same words and as many pictures drawn (all a page of pictures only can be told by).
TEST_P(LoDocumentTest, EveryPageCopiesAsTheSamePageOfThePdfExport)
{
    const auto spec = [](int pages, int tableAtPageStart, int photoParagraphs, bool blankFirstPage,
                         bool pagePicture) {
        TestDocumentSpec made;
        made.pages = pages;
        made.tableAtPageStart = tableAtPageStart;
        made.photoParagraphs = photoParagraphs;
        made.blankFirstPage = blankFirstPage;
        made.pagePicture = pagePicture;
        return made;
    };
    const std::pair<const char*, TestDocumentSpec> cases[] = {
        {"photo report in one paragraph", spec(2, 0, 1, false, false)},
        {"photo report in two paragraphs, then a page that starts with a table", spec(3, 3, 2, false, false)},
        {"a document that starts with a table", spec(3, 1, 0, false, false)},
        {"a first page style that puts a blank page first", spec(3, 0, 0, true, false)},
        {"a page that holds only a picture anchored to it", spec(3, 0, 0, false, true)},
    };
    for (const auto& [what, made] : cases) {
        SCOPED_TRACE(what);
        const std::vector<PdfPage> pdf = testDocumentPdfPages(made, QString::fromLatin1(GetParam()));
        auto doc = s_office->open(document(made));
        const WalkResult walk = walkPages(*doc, s_office->selection(), s_office->browser());
        EXPECT_EQ(walk.starts.size(), pdf.size()) << "pages walked";
        for (std::size_t k = 0; k < std::min(walk.starts.size(), pdf.size()); ++k) {
            const CharPosition end = k + 1 < walk.starts.size() ? walk.starts[k + 1] : walk.documentEnd;
            doc->Range(walk.starts[k], end)->Copy();
            const QByteArray emf = s_office->slot().fetch().bytes;
            ASSERT_TRUE(IsWellFormedEmf(emf)) << "page " << k + 1;
            EXPECT_EQ(wordsMissing(pdf[k].text, emf).join(QLatin1Char(' ')).toStdString(), "")
                << "page " << k + 1;
            EXPECT_EQ(WalkEmf(emf).bitmaps, pdf[k].pictures) << "pictures on page " << k + 1;
        }
        doc->Close(false);
    }
}

QColor centreColor(const Picture& picture)
{
    const QImage image = QImage::fromData(picture.bytes);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

bool isColor(const Picture& picture, QRgb color)
{
    const QColor sampled = centreColor(picture);
    const QColor expected(color);
    return sampled.isValid() && std::abs(sampled.red() - expected.red()) <= 12 &&
           std::abs(sampled.green() - expected.green()) <= 12 &&
           std::abs(sampled.blue() - expected.blue()) <= 12;
}

void expectPicture(const Picture& picture, QSize size, QRgb color, const char* what)
{
    ASSERT_FALSE(picture.isEmpty()) << what;
    EXPECT_EQ(picture.format, QStringLiteral("bmp"));
    ASSERT_TRUE(IsWellFormedBmp(picture.bytes)) << what;
    const QImage image = QImage::fromData(picture.bytes);
    if (size.isValid()) {
        EXPECT_NEAR(image.width(), size.width(), 1) << what;
        EXPECT_NEAR(image.height(), size.height(), 1) << what;
    }
    EXPECT_TRUE(isColor(picture, color)) << what << ": sampled " << centreColor(picture).name().toStdString()
                                         << ", expected " << QColor(color).name().toStdString();
}

TEST_P(LoDocumentTest, CopiesFloatingObjectsBeforeInlineOnesAsBmp)
{
    TestDocumentSpec spec;
    spec.pictures = true;
    auto doc = s_office->open(document(spec));
    OfficeSelection& selection = s_office->selection();

    selection.Copy(); // nothing selected: nothing delivered
    EXPECT_TRUE(s_office->slot().fetch().isEmpty());

    auto floating = doc->Shapes();
    auto inlineShapes = doc->InlineShapes();
    ASSERT_EQ(floating.size(), 2u);
    ASSERT_EQ(inlineShapes.size(), 1u);

    // The two floating objects in the order the document keeps them (a format may stack them
    // either way); each one's picture is told by its colour.
    std::vector<Picture> floatingPictures;
    for (auto& shape : floating) {
        shape->Select();
        selection.Copy();
        floatingPictures.push_back(s_office->slot().fetch());
    }
    const bool pictureFirst = isColor(floatingPictures[0], TestPictures::floatingColor);
    expectPicture(floatingPictures[pictureFirst ? 0 : 1], TestPictures::floatingSize,
                  TestPictures::floatingColor, "floating picture");
    expectPicture(floatingPictures[pictureFirst ? 1 : 0], QSize(), TestPictures::rectangleColor, "rectangle");

    inlineShapes[0]->Select();
    selection.Copy();
    expectPicture(s_office->slot().fetch(), TestPictures::inlineSize, TestPictures::inlineColor,
                  "in-line picture");

    // Collapsing the selection leaves no object selected.
    selection.Collapse(CollapseStart);
    selection.Copy();
    EXPECT_TRUE(s_office->slot().fetch().isEmpty());

    doc->Close(false);
    EXPECT_THROW(floating[0]->Select(), EngineError);
}

// The office killed between the walk and a page copy: the copy fails with the office's death and
// leaves no picture, the document closes without hanging, and the next document opens on a fresh
// office.
TEST(LoDocumentOfficeLost, PageCopyFailsAndTheNextDocumentOpens)
{
    LoTestOffice office;
    TestDocumentSpec spec;
    spec.pages = 2;
    const QString path = testDocument(spec, QStringLiteral("docx"));
    auto doc = office.open(path);
    const WalkResult walk = walkPages(*doc, office.selection(), office.browser());
    ASSERT_EQ(walk.starts.size(), 2u);
    office.slot().put({QByteArray("stale"), QStringLiteral("emf")});

    const qint64 group = office.session().pid();
    office.session().kill();
    try {
        doc->Range(walk.starts[0], walk.starts[1])->Copy();
        ADD_FAILURE() << "copy on a dead office succeeded";
    } catch (const EngineError& error) {
        EXPECT_NE(error.number(), 0);
        EXPECT_FALSE(error.description().isEmpty());
    }
    EXPECT_TRUE(office.slot().fetch().isEmpty()) << "an earlier picture survived a failed copy";
    try {
        doc->Close(false);
    } catch (const EngineError&) {
        // Closing on a dead office may report the death; it must not hang or crash.
    }
    EXPECT_THROW(doc->Select(), EngineError);
    EXPECT_TRUE(waitUntilGroupGone(group));

    auto next = office.open(path);
    const WalkResult again = walkPages(*next, office.selection(), office.browser());
    EXPECT_EQ(again.starts.size(), 2u);
    next->Close(false);
}

INSTANTIATE_TEST_SUITE_P(Formats, LoDocumentTest, ::testing::Values("docx", "doc", "rtf"));

} // namespace
