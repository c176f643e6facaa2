#pragma once

// The shared corpus of real Word documents, copied into a temporary folder for one test run,
// with a .doc and an .rtf copy of every file and a PDF export of every copy, all made by a private
// headless soffice. The PDFs are the independent record of what the layout holds: their page count
// and the text of each page.

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quillet::testing {

// Page count and per-page text of one PDF.
struct PdfLayout
{
    int pages = 0;
    QStringList pageTexts; // one entry per page
};

class CorpusWorkspace
{
public:
    // Copies every .docx under corpusDir (read-only source) and makes the other formats.
    // Throws std::runtime_error when soffice or the PDF tools fail.
    explicit CorpusWorkspace(const QString& corpusDir);
    ~CorpusWorkspace();

    static QStringList formats()
    {
        return {QStringLiteral("docx"), QStringLiteral("doc"), QStringLiteral("rtf")};
    }

    // Base names ("comments", "tbl-props"...), sorted.
    QStringList names() const { return m_names; }
    // The copy of `name` in `format`.
    QString document(const QString& name, const QString& format) const;
    // Every copy in `format`, in names() order.
    QStringList documents(const QString& format) const;
    // The PDF export of the copy in `format`.
    const PdfLayout& layout(const QString& name, const QString& format) const;
    // A fresh folder inside the workspace.
    QString newFolder(const QString& name) const;
    // Seconds the copies and PDF exports took.
    double preparationSeconds() const { return m_preparationSeconds; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_names;
    QMap<QString, PdfLayout> m_layouts; // "<format>/<name>"
    double m_preparationSeconds = 0;
};

// One run of a private headless soffice (its own profile) converting every source into outDir;
// target as soffice's --convert-to takes it ("doc:MS Word 97").
struct SofficeRun
{
    QStringList sources;
    QString target;
    QString outDir;
    QString profileDir;
};

// Makes the runs side by side and waits for all. Throws std::runtime_error when a run fails or a
// file is not made.
void ConvertWithSoffice(const QList<SofficeRun>& runs);

// The PDF target for ConvertWithSoffice: the document's pages, without the blank pages the layout
// inserts.
QString PdfTarget();

// Page count (pdfinfo) and the text of each page (pdftotext).
PdfLayout ReadPdf(const QString& pdfPath);

// Words (runs of letters and digits, two or more long) of a page text.
QStringList WordsOf(const QString& text);

// Words of `pageText` that the joined EMF texts do not hold (white space ignored on both sides).
QStringList WordsMissingFrom(const QString& pageText, const QStringList& emfTexts);

} // namespace quillet::testing
