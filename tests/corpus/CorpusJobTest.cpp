// Both batch jobs over the shared corpus of real Word documents, in .docx and in the .doc and .rtf
// copies LibreOffice makes of them, on the real engine, in one list per format.
//
// Every document gives either its pictures or exactly one readable log line. Page pictures are
// checked against a PDF export of the same file: one EMF per PDF page, each well formed and
// holding the words of that PDF page.

#include "CorpusRun.h"
#include "CorpusWorkspace.h"
#include "support/JobTestSupport.h"
#include "support/PictureChecks.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <iomanip>
#include <iostream>
#include <memory>

using namespace quillet;
using namespace quillet::testing;

namespace {

CorpusWorkspace& Workspace()
{
    static std::unique_ptr<CorpusWorkspace> workspace;
    if (!workspace)
        workspace = std::make_unique<CorpusWorkspace>(QStringLiteral(QUILLET_CORPUS_DIR));
    return *workspace;
}

// Documents whose every page must come out in every format.
const QStringList MustConvert{QStringLiteral("comments"), QStringLiteral("comments-rich-para"),
                              QStringLiteral("empty"), QStringLiteral("endnotes"),
                              QStringLiteral("external-picture")};

struct FormatRow
{
    QString format;
    int documents = 0;
    int layoutPages = 0;
    int pictures = 0;
    QStringList failures; // "<name>: <description>"
    double seconds = 0;
    int objectPictures = 0;
    QStringList extractionFailures;
    double extractionSeconds = 0;
    int officeStarts = 0;
};

// One document of the conversion job: its pages or one readable line.
void CheckConvertedDocument(const QString& name, const QString& format, const PdfLayout& layout,
                            const QString& outputFolder, const DocumentOutcome& outcome, FormatRow& row)
{
    SCOPED_TRACE((name + QLatin1Char('.') + format).toStdString());
    if (!outcome.logLines.isEmpty()) {
        ASSERT_EQ(outcome.logLines.size(), 1) << outcome.logLines.join(QLatin1Char('\n')).toStdString();
        const QString description = DescriptionOf(outcome.logLines[0]);
        EXPECT_EQ(UnreadableBecause(description), QString()) << description.toStdString();
        EXPECT_FALSE(MustConvert.contains(name)) << description.toStdString();
        row.failures << name + QStringLiteral(": ") + description;
        row.pictures += static_cast<int>(outcome.files.size());
        return;
    }
    QStringList expected;
    for (int page = 1; page <= layout.pages; ++page)
        expected << QStringLiteral("%1-%2.emf").arg(name).arg(page);
    EXPECT_EQ(outcome.files, expected) << "the PDF export has " << layout.pages << " pages";
    row.pictures += static_cast<int>(outcome.files.size());
    for (int page = 1; page <= layout.pages && page <= outcome.files.size(); ++page) {
        const QByteArray emf = FileBytes(outputFolder + QLatin1Char('/') + outcome.files[page - 1]);
        EXPECT_TRUE(IsWellFormedEmf(emf)) << "page " << page;
        const QStringList missing = WordsMissingFrom(layout.pageTexts.value(page - 1), EmfTexts(emf));
        EXPECT_TRUE(missing.isEmpty())
            << "page " << page
            << " lacks words of its PDF page: " << missing.join(QLatin1Char(' ')).toStdString();
    }
}

// One document of the extraction job: well-formed pictures or one readable line.
void CheckExtractedDocument(const QString& name, const QString& format, const QString& outputFolder,
                            const DocumentOutcome& outcome, FormatRow& row)
{
    SCOPED_TRACE((name + QLatin1Char('.') + format).toStdString());
    for (const QString& file : outcome.files)
        EXPECT_TRUE(IsWellFormedBmp(FileBytes(outputFolder + QLatin1Char('/') + file))) << file.toStdString();
    row.objectPictures += static_cast<int>(outcome.files.size());
    if (outcome.logLines.isEmpty())
        return;
    ASSERT_EQ(outcome.logLines.size(), 1) << outcome.logLines.join(QLatin1Char('\n')).toStdString();
    const QString description = DescriptionOf(outcome.logLines[0]);
    EXPECT_EQ(UnreadableBecause(description), QString()) << description.toStdString();
    row.extractionFailures << name + QStringLiteral(": ") + description;
}

void CheckJobFrame(const JobOutcome& job, const QString& completion, bool anyFailure)
{
    EXPECT_EQ(job.officesLeft, QStringList());
    EXPECT_EQ(job.strayFiles, QStringList());
    ASSERT_FALSE(job.messages.isEmpty());
    // The job ran to its end: its completion message, and the log question only after failures.
    EXPECT_EQ(job.messages.first(), completion);
    EXPECT_EQ(job.messages.size(), anyFailure ? 2 : 1);
}

void PrintTable(const QList<FormatRow>& rows, double preparationSeconds)
{
    std::cout << "\nCorpus: copies and PDF exports made in " << std::fixed << std::setprecision(1)
              << preparationSeconds << " s\n"
              << "format | documents | layout pages | EMF pictures | conversion failures | seconds | "
                 "BMP pictures | extraction failures | seconds | office starts\n";
    for (const FormatRow& row : rows) {
        std::cout << row.format.toStdString() << " | " << row.documents << " | " << row.layoutPages << " | "
                  << row.pictures << " | " << row.failures.size() << " | " << row.seconds << " | "
                  << row.objectPictures << " | " << row.extractionFailures.size() << " | "
                  << row.extractionSeconds << " | " << row.officeStarts << "\n";
        for (const QString& failure : row.failures)
            std::cout << "  conversion failure " << failure.toStdString() << "\n";
        for (const QString& failure : row.extractionFailures)
            std::cout << "  extraction failure " << failure.toStdString() << "\n";
    }
}

} // namespace

TEST(CorpusJobs, EveryDocumentInEveryFormatGivesItsPagesAndObjectsOrOneReadableLine)
{
    CorpusWorkspace* workspace = nullptr;
    try {
        workspace = &Workspace();
    } catch (const std::exception& error) {
        FAIL() << "corpus not prepared: " << error.what();
    }
    const QStringList names = workspace->names();
    QList<FormatRow> rows;
    QMap<QString, QMap<QString, int>> pagesByFormat; // format -> name -> EMF pages made
    // Objects of documents that are hard on the extraction.
    const QMap<QString, QStringList> knownObjects{
        // The Word text box is a drawn shape holding text: it has a picture.
        {QStringLiteral("text-box.docx"), {QStringLiteral("text-box-1.bmp")}},
        // The copy turns it into a text frame, which has none.
        {QStringLiteral("text-box.rtf"), {}},
        // Three pictures, a diagram (a group of shapes) and a chart (an embedded object, through its
        // replacement picture). The second picture is a link to a file that does not exist here,
        // which the office imports without the copy Word keeps of it: nothing to draw, a gap.
        {QStringLiteral("shp-inline-shape-access.docx"),
         {QStringLiteral("shp-inline-shape-access-1.bmp"), QStringLiteral("shp-inline-shape-access-3.bmp"),
          QStringLiteral("shp-inline-shape-access-4.bmp"), QStringLiteral("shp-inline-shape-access-5.bmp")}},
    };

    for (const QString& format : CorpusWorkspace::formats()) {
        SCOPED_TRACE(format.toStdString());
        FormatRow row;
        row.format = format;
        const QStringList documents = workspace->documents(format);
        row.documents = static_cast<int>(documents.size());

        const JobOutcome conversion =
            RunJob(JobType::Conversion, documents, workspace->newFolder(QStringLiteral("convert-") + format));
        row.seconds = conversion.seconds;
        row.officeStarts = conversion.officeStarts;
        for (const QString& name : names) {
            const PdfLayout& layout = workspace->layout(name, format);
            row.layoutPages += layout.pages;
            const DocumentOutcome& outcome = conversion.documents.value(workspace->document(name, format));
            CheckConvertedDocument(name, format, layout, conversion.outputFolder, outcome, row);
            pagesByFormat[format][name] = static_cast<int>(outcome.files.size());
            if (name == QLatin1String("external-picture") || name == QLatin1String("comments"))
                std::cout << name.toStdString() << "." << format.toStdString() << " converted in "
                          << outcome.seconds << " s\n";
        }
        CheckJobFrame(conversion, QStringLiteral("转换完毕！"), !row.failures.isEmpty());

        const JobOutcome extraction =
            RunJob(JobType::Extraction, documents, workspace->newFolder(QStringLiteral("extract-") + format));
        row.extractionSeconds = extraction.seconds;
        for (const QString& name : names) {
            const DocumentOutcome& outcome = extraction.documents.value(workspace->document(name, format));
            CheckExtractedDocument(name, format, extraction.outputFolder, outcome, row);
            const auto known = knownObjects.constFind(name + QLatin1Char('.') + format);
            if (known != knownObjects.cend())
                EXPECT_EQ(outcome.files, *known) << (name + QLatin1Char('.') + format).toStdString();
            if (!outcome.files.isEmpty()) {
                std::cout << name.toStdString() << "." << format.toStdString()
                          << " objects: " << outcome.files.join(QLatin1Char(' ')).toStdString() << "\n";
            }
        }
        CheckJobFrame(extraction, QStringLiteral("图像提取完毕！"), !row.extractionFailures.isEmpty());
        rows << row;
    }

    // The same documents give the same number of pages whatever format they were saved in, except
    // where LibreOffice's own copy lays the document out differently: there the copy's PDF export
    // differs from the .docx's as well, and the pictures follow the copy.
    const QMap<QString, QString> copyLaysOutDifferently{
        {QStringLiteral("endnotes.doc"), QStringLiteral("the copy sets the endnote on the main text's page")},
        {QStringLiteral("sct-inner-content.doc"), QStringLiteral("the copy joins two sections on one page")},
        {QStringLiteral("sct-inner-content.rtf"), QStringLiteral("the copy joins two sections on one page")},
        {QStringLiteral("sct-section-props.rtf"), QStringLiteral("the copy joins two sections on one page")},
        {QStringLiteral("sty-known-styles.rtf"), QStringLiteral("the copy loses a style's page break")},
    };
    for (const QString& name : names) {
        const int docx = workspace->layout(name, QStringLiteral("docx")).pages;
        for (const QString& format : {QStringLiteral("doc"), QStringLiteral("rtf")}) {
            const int copy = workspace->layout(name, format).pages;
            const QString key = name + QLatin1Char('.') + format;
            if (copyLaysOutDifferently.contains(key)) {
                EXPECT_NE(copy, docx) << key.toStdString() << " now lays out like the .docx";
                std::cout << key.toStdString() << ": " << copy << " pages, the .docx " << docx << ": "
                          << copyLaysOutDifferently[key].toStdString() << "\n";
                continue;
            }
            EXPECT_EQ(copy, docx) << key.toStdString() << ": the copy lays out differently";
            EXPECT_EQ(pagesByFormat[format][name], pagesByFormat[QStringLiteral("docx")][name])
                << key.toStdString() << ": the copy gave other pictures";
        }
    }
    EXPECT_EQ(workspace->layout(QStringLiteral("empty"), QStringLiteral("docx")).pages, 1);
    PrintTable(rows, workspace->preparationSeconds());
}
