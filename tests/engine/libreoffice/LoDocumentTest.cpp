// The page walk and page pictures of the LibreOffice backend against a real, private soffice, on
// documents the test builds itself (flat ODT converted to .docx, .doc and .rtf).

#include "LoTestOffice.h"
#include "TestDocuments.h"
#include "support/PictureChecks.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;

namespace {

TestDocumentSpec spec(int pages, const std::function<void(TestDocumentSpec&)>& set)
{
    TestDocumentSpec made;
    made.pages = pages;
    set(made);
    return made;
}

using LoDocumentTest = ::testing::TestWithParam<const char*>;

// Page k of the walk copies as page k of the document's own PDF export, whatever the page holds and
// wherever it starts: the same words (its marker, list number and header line), no other page's
// marker, and as many pictures drawn (all a page of pictures only can be told by). A stretch that is
// no walked page copies as nothing, never as another page.
TEST_P(LoDocumentTest, EveryPageCopiesAsTheSamePageOfThePdfExport)
{
    const std::pair<const char*, TestDocumentSpec> cases[] = {
        {"seven pages with a header line, page 4 starting inside a table",
         spec(7, [](auto& s) { s.tableAtPageStart = 4, s.header = true; })},
        {"a document that starts with a table", spec(3, [](auto& s) { s.tableAtPageStart = 1; })},
        // Without tables the walk counts from page to page; with one it places pages through the
        // body's enumeration.
        {"pages that start inside a paragraph", spec(2, [](auto& s) { s.longParagraph = true; })},
        {"pages that start inside a paragraph, then a table",
         spec(2, [](auto& s) { s.longParagraph = true, s.tableAtPageStart = 2; })},
        {"photo report in one paragraph", spec(2, [](auto& s) { s.photoParagraphs = 1; })},
        {"photo report in two paragraphs, then a page that starts with a table",
         spec(3, [](auto& s) { s.photoParagraphs = 2, s.tableAtPageStart = 3; })},
        {"a first page style that puts a blank page first",
         spec(3, [](auto& s) { s.blankFirstPage = true; })},
        {"a page that holds only a picture anchored to it", spec(3, [](auto& s) { s.pagePicture = true; })},
    };
    LoTestOffice office;
    for (const auto& [what, made] : cases) {
        SCOPED_TRACE(what);
        const std::vector<PdfPage> pdf = testDocumentPdfPages(made, GetParam());
        auto doc = office.open(testDocument(made, GetParam()));
        const WalkResult walk = walkPages(*doc, office.selection(), office.browser());
        EXPECT_EQ(walk.starts.size(), pdf.size()) << "pages walked";
        for (std::size_t k = 0; k < std::min(walk.starts.size(), pdf.size()); ++k) {
            SCOPED_TRACE("page " + std::to_string(k + 1));
            doc->Range(walk.starts[k], walk.pageEnd(k))
                ->Copy();
            const QByteArray emf = office.slot().fetch().contents();
            ASSERT_TRUE(IsWellFormedEmf(emf));
            const pdfemf::EmfContent content = pdfemf::readEmf(emf);
            const QString text = content.text();
            EXPECT_EQ(WordsMissing(pdf[k].text, text), QStringList());
            for (int page = 1; page <= made.pages; ++page)
                EXPECT_EQ(text.contains(pageMarker(page)), pdf[k].text.contains(pageMarker(page))) << page;
            EXPECT_EQ(content.bitmaps, pdf[k].pictures) << "pictures drawn";
        }
        if (walk.starts.size() > 2) {
            doc->Range(walk.starts[1] + 1, walk.starts[2])->Copy();
            EXPECT_TRUE(office.slot().fetch().isEmpty()) << "a stretch that is no page";
        }
        doc->Close(false);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LoDocumentTest, ::testing::Values("docx", "doc", "rtf"));

} // namespace
