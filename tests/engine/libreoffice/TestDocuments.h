#pragma once

// Word-processor documents built by the tests themselves: a flat ODT written here, converted to
// .docx, .doc and .rtf by a private headless soffice. Built documents are cached for the test run.

#include <QColor>
#include <QSize>
#include <QString>
#include <vector>

namespace quillet::testing {

struct TestDocumentSpec
{
    int pages = 1;
    // Page whose first element is a table (its first cell holds the page marker); 0 for none.
    // 1 makes a document that starts with a table.
    int tableAtPageStart = 0;
    // Page 1 holds a floating picture, a drawn rectangle (both floating) and an in-line picture.
    bool pictures = false;
    // Extra paragraphs of plain text on every page.
    int fillerParagraphs = 0;
    // Page 1 ends with one paragraph long enough to run over two more pages, so that pages start
    // inside it.
    bool longParagraph = false;
    // Every page has a header line ("HEADER-LINE") above its main text.
    bool header = false;
    // A photo report after page 1, starting on a page of its own: in-line pictures as wide as the
    // text and no text between them, laid out 1, 2, 3 and 1 to a page. They stand in this many
    // paragraphs (1: all in one; 2: the second starts with the page of three); 0 for none.
    int photoParagraphs = 0;
    // A picture anchored to page 2 fills its text area, so page 2 holds nothing but the picture
    // and the text meant for it moves on to page 3.
    bool pagePicture = false;
    // The first paragraph's page style has left pages only, so the layout starts with a blank page
    // (kept in .docx as a section that starts on an even page).
    bool blankFirstPage = false;
};

// Text found on page `page` only ("PAGE-MARKER-3"). Every page also holds one item of a numbered
// list that runs through the document, so page N shows the list number "N.".
QString pageMarker(int page);

// The pictures of a spec with pictures = true, in the order the document lists them.
struct TestPictures
{
    static constexpr QSize floatingSize{40, 30};
    static constexpr QRgb floatingColor = 0xffd01010; // red
    static constexpr QSize inlineSize{24, 16};
    static constexpr QRgb inlineColor = 0xff1030d0;    // blue
    static constexpr QRgb rectangleColor = 0xff20b020; // green
};

// Path of the document in `format` ("fodt", "docx", "doc" or "rtf"), building it on first use.
// Throws std::runtime_error when soffice cannot convert it.
QString testDocument(const TestDocumentSpec& spec, const QString& format);

// One page of a PDF: its text (pdftotext) and the number of pictures drawn on it (pdfimages).
struct PdfPage
{
    QString text;
    int pictures = 0;
};

// The pages of the document's own PDF export (soffice's default, which leaves out the blank pages
// the layout inserts), made from the copy in `format` on first use. Throws std::runtime_error.
std::vector<PdfPage> testDocumentPdfPages(const TestDocumentSpec& spec, const QString& format);

// The flat ODT text of a spec (exposed for the builder's own use and for debugging).
QByteArray flatOdt(const TestDocumentSpec& spec);

} // namespace quillet::testing
