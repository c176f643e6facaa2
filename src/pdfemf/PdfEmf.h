#pragma once

// Vector EMF pictures of a PDF's pages, written in process: the office exports a document to PDF
// once, and each page's metafile is made from that PDF here (text as Unicode text records with the
// real family names, paths, clipping, images at their own resolution).
//
// Open the PDF once with PdfDocument and ask for as many pages as needed. One PdfDocument is not
// meant for several threads at once.

#include <QByteArray>
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

    struct Data;

private:
    friend QByteArray emfOfPdfPage(PdfDocument& document, int page);
    friend bool savePdfPage(PdfDocument& document, int page, const QString& path);
    std::unique_ptr<Data> m_data;
};

// The metafile of page `page` (from 1) at 1440 units an inch; empty when there is no such page.
QByteArray emfOfPdfPage(PdfDocument& document, int page);

// Page `page` (from 1) as a PDF file of its own, its fonts and images kept, so its text stays text;
// false when there is no such page or the file cannot be written.
bool savePdfPage(PdfDocument& document, int page, const QString& path);

// Poppler's settings for the whole process, made once. Code that opens PDFs through another of
// poppler's interfaces calls this first, so that the two never make them at the same time.
void initPoppler();

} // namespace quillet::pdfemf
