#pragma once

// Vector EMF pictures of a PDF's pages, written in process: the office exports a document to PDF
// once, and each page's metafile is made from that PDF here (text as Unicode text records with the
// real family names, paths, clipping, images at their own resolution).
//
// Open the PDF once with PdfDocument and ask for as many pages as needed. One PdfDocument is not
// meant for several threads at once.

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <memory>

namespace quillet::pdfemf {

class PdfDocument
{
public:
    explicit PdfDocument(const QString& path);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // False when the file is missing, damaged or cannot be opened without a password.
    bool isOk() const;
    int pageCount() const;
    // The page as shown (crop box, page rotation applied), in points; empty for no such page.

    struct Data;

private:
    friend QByteArray emfOfPdfPage(PdfDocument& document, int page);
    std::unique_ptr<Data> m_data;
};

// The metafile of page `page` (from 1) at 1440 units an inch; empty when there is no such page.
QByteArray emfOfPdfPage(PdfDocument& document, int page);

} // namespace quillet::pdfemf
