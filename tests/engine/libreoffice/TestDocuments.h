#pragma once

// Word-processor documents built by the tests themselves: a flat ODT written here, converted to
// .docx, .doc and .rtf by a private headless soffice, and their PDF exports. Built once per run.

#include <QColor>
#include <QSize>
#include <QStringList>
#include <vector>

namespace quillet::testing {

struct TestDocumentSpec
{
    int pages = 1;
    int tableAtPageStart = 0;   // page that starts with a table, its first cell holding the page marker
    bool pictures = false;      // page 1: a floating picture, a drawn rectangle and an in-line picture
    int fillerParagraphs = 0;   // paragraphs of plain text on every page
    bool longParagraph = false; // page 1 ends with a paragraph that runs over two more pages
    bool header = false;        // a header line ("HEADER-LINE") on every page
    // A photo report after page 1, on pages of its own: in-line pictures as wide as the text, 1, 2, 3
    // and 1 to a page, in this many paragraphs (2: the second starts with the page of three).
    int photoParagraphs = 0;
    bool pagePicture = false;    // a picture fills page 2: the text meant for it moves to page 3
    bool blankFirstPage = false; // the first page style has left pages only: a blank page comes first
};

// Text found on page `page` only ("PAGE-MARKER-3"). Every page also holds one item of a numbered
// list that runs through the document, so page N shows the list number "N.".
inline QString pageMarker(int page)
{
    return QString("PAGE-MARKER-%1").arg(page);
}

// The pictures of a spec with pictures = true, in the order the document lists them.
struct TestPictures
{
    static constexpr QSize floatingSize{40, 30};
    static constexpr QRgb floatingColor = 0xffd01010; // red
    static constexpr QSize inlineSize{24, 16};
    static constexpr QRgb inlineColor = 0xff1030d0;    // blue
    static constexpr QRgb rectangleColor = 0xff20b020; // green
};

// Path of the document in `format` ("docx", "doc" or "rtf"), built on first use.
// Throws std::runtime_error when it cannot be built.
QString testDocument(const TestDocumentSpec& spec, const QString& format);

// The opening of a flat ODT text document: the XML declaration and the office:document tag, with
// every namespace the built documents use.
extern const char flatOdtStart[];

// A flat ODT document whose text is `body` (text:p and the like).
QByteArray flatOdt(const QString& body, const QString& header = QString());
// Throws std::runtime_error when the file cannot be written.
void writeFile(const QString& path, const QByteArray& bytes);

// One page of a PDF: its text (pdftotext) and the number of pictures drawn on it (pdfimages).
struct PdfPage
{
    QString text;
    int pictures = 0;
};
std::vector<PdfPage> pdfPages(const QString& pdf);

// The pages of the document's own PDF export (soffice's default, which leaves out the blank pages
// the layout inserts), made from the copy in `format`. Throws std::runtime_error.
std::vector<PdfPage> testDocumentPdfPages(const TestDocumentSpec& spec, const QString& format);

// One headless soffice with a profile of its own, converting every source into outDir; target as
// --convert-to takes it ("doc:MS Word 97").
struct SofficeRun
{
    QStringList sources;
    QString target;
    QString outDir;
};
// Makes the runs side by side and waits for all; throws std::runtime_error when one fails.
void ConvertWithSoffice(const QList<SofficeRun>& runs);

} // namespace quillet::testing
