#pragma once

// Word-processor documents built by the tests themselves: a flat ODT written here, converted to
// .docx, .doc and .rtf by a private headless soffice. Built documents are cached for the test run.

#include <QColor>
#include <QSize>
#include <QString>

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

// The flat ODT text of a spec (exposed for the builder's own use and for debugging).
QByteArray flatOdt(const TestDocumentSpec& spec);

} // namespace quillet::testing
