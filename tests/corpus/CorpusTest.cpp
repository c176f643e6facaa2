// Both batch jobs over the shared corpus of real Word documents (written by other people's tools)
// and two documents built here, in .docx and in the .doc and .rtf copies a private soffice makes of
// them, checked against PDF exports of the same files; and an embedded object (a chart).

#include "RealJob.h"
#include "TestDocuments.h"
#include "engine/libreoffice/DocumentLoading_p.h"
#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoShapePictures_p.h"
#include "support/PictureChecks.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTcpServer>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::testing;
namespace css = com::sun::star;

namespace {

// Words (two or more letters or digits) of a PDF page that the EMF's texts lack, white space aside.
QStringList LetterWordsMissing(const QString& pdfPage, QString emfText)
{
    emfText.remove(QRegularExpression("\\s"));
    QStringList words = pdfPage.split(QRegularExpression("[^\\p{L}\\p{N}]+"), Qt::SkipEmptyParts);
    words.removeIf([&](const QString& word) { return word.size() < 2 || emfText.contains(word); });
    return words;
}

// Empty when a user can read an error description; otherwise what is wrong with it.
QString UnreadableBecause(const QString& description)
{
    // Internal names of the engine or of C++, and places in its source, mean nothing to a user.
    static const QRegularExpression internal("com\\.sun\\.star|css::|\\w+Exception\\b|std::|::|0x[0-9a-fA-F]{"
                                             "4,}|[\\w/.]+\\.(cxx|cpp|hxx|hpp|h):\\d+");
    if (const QRegularExpressionMatch match = internal.match(description); match.hasMatch())
        return "it names " + match.captured();
    // The program speaks Chinese: a description without a word of it is a raw message.
    return description.contains(QRegularExpression("\\p{Han}")) ? QString() : "it has no Chinese word";
}

using CorpusTest = RealOfficeTest<>;

} // namespace

// Every document gives either its pictures or exactly one readable log line. Page pictures: one EMF
// per page of a PDF export of the same file, each well formed and holding the words of its page.
TEST_F(CorpusTest, EveryDocumentInEveryFormatGivesItsPagesAndObjectsOrOneReadableLine)
{
    // A linked picture is never fetched (no wait on the network, no beacon): no connection during the
    // jobs. The server is closed while soffice makes the copies and PDFs, which do fetch it.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    server.close();

    // Two documents built here join the corpus: a page of text with an endnote over the pages after
    // it (pages past the end of the main text), and a picture linked to a web address.
    QString notes;
    for (int i = 1; i <= 90; ++i)
        notes += QString("<text:p>Endnote line %1</text:p>").arg(i);
    writeFile(m_dir.filePath("notes.fodt"),
              flatOdt(R"(<text:p>MAINTEXT carries a note<text:note text:id="n1" text:note-class="endnote">)"
                      "<text:note-citation>i</text:note-citation><text:note-body>" +
                      notes + "<text:p>ENDNOTELAST</text:p></text:note-body></text:note>.</text:p>"));
    writeFile(m_dir.filePath("web-picture.fodt"),
              flatOdt(QString(R"(<text:p>LINKEDPICTURE beside the picture.<draw:frame draw:name="Picture" )"
                              R"(text:anchor-type="paragraph" svg:width="1cm" svg:height="1cm"><draw:image )"
                              R"(xlink:href="http://127.0.0.1:%1/picture.png" xlink:type="simple" )"
                              R"(xlink:show="embed" xlink:actuate="onLoad"/></draw:frame></text:p>)")
                          .arg(port)));
    ConvertWithSoffice({{{m_dir.filePath("notes.fodt"), m_dir.filePath("web-picture.fodt")},
                         "docx:MS Word 2007 XML",
                         m_dir.filePath("docx")}});
    for (QDirIterator it(QUILLET_CORPUS_DIR, {"*.docx"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString source = it.next();
        ASSERT_TRUE(QFile::copy(source, m_dir.filePath("docx/" + QFileInfo(source).fileName())))
            << source.toStdString() << ": two corpus files of one name?";
    }
    QStringList names = QDir(m_dir.filePath("docx")).entryList(QDir::Files);
    names.replaceInStrings(QRegularExpression("\\.docx$"), QString());
    const auto documents = [&](const QString& format) {
        QStringList paths;
        for (const QString& name : names)
            paths << m_dir.filePath(format + '/' + name + '.' + format);
        return paths;
    };
    // Blank pages the layout inserts (before an odd-page section) are no pages: the walk and this skip them.
    const auto pdfs = [&](const QString& format) {
        return SofficeRun{documents(format),
                          R"(pdf:writer_pdf_Export:{"IsSkipEmptyPages":{"type":"boolean","value":"true"}})",
                          m_dir.filePath("pdf-" + format)};
    };
    ConvertWithSoffice({{documents("docx"), "doc:MS Word 97", m_dir.filePath("doc")},
                        {documents("docx"), "rtf:Rich Text Format", m_dir.filePath("rtf")},
                        pdfs("docx")});
    ConvertWithSoffice({pdfs("doc"), pdfs("rtf")});
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));

    // Documents whose every page must come out in every format.
    const QStringList mustConvert{"comments", "comments-rich-para", "empty", "endnotes", "external-picture",
                                  "notes",    "web-picture"};
    // Objects of documents that are hard on the extraction: a Word text box is a drawn shape holding
    // text (the .rtf copy makes it a text frame, which has no picture); shp-inline-shape-access has
    // three pictures, a diagram and a chart (an embedded object, through its replacement picture),
    // and its second picture links to a missing file the office draws nothing for: a gap.
    const QMap<QString, QStringList> knownObjects{
        {"text-box.docx", {"text-box-1.bmp"}},
        {"text-box.rtf", {}},
        {"shp-inline-shape-access.docx",
         {"shp-inline-shape-access-1.bmp", "shp-inline-shape-access-3.bmp", "shp-inline-shape-access-4.bmp",
          "shp-inline-shape-access-5.bmp"}},
    };
    QMap<QString, QStringList> objects; // by "<name>.<format>"
    for (const QString format : {"docx", "doc", "rtf"}) {
        SCOPED_TRACE(format.toStdString());
        RealJob conversion(m_dir.filePath("convert-" + format));
        RealJob extraction(m_dir.filePath("extract-" + format));
        QStringList failed; // documents with a line: after the loop, the conversion's
        for (RealJob* job : {&extraction, &conversion}) {
            job->documents = documents(format);
            job->run(job == &conversion ? RunConversionJob : RunExtractionJob);
            EXPECT_EQ(job->messages().value(0),
                      job == &conversion ? "转换完毕！" : "图像提取完毕！"); // ran to its end
            failed.clear();
            for (const QString& line : job->logLines()) {
                // One line per document, which a user can read.
                const auto match = QRegularExpression("\t处理.*/([^/]+)\\.\\w+处错：(.*)$").match(line);
                EXPECT_TRUE(match.hasMatch() && !failed.contains(match.captured(1))) << line.toStdString();
                EXPECT_EQ(UnreadableBecause(match.captured(2)), QString()) << line.toStdString();
                EXPECT_FALSE(job == &conversion && mustConvert.contains(match.captured(1)))
                    << line.toStdString();
                failed << match.captured(1);
            }
        }

        QStringList pages;
        for (const QString& path : conversion.documents) {
            const QString name = QFileInfo(path).completeBaseName();
            const std::vector<PdfPage> pdf = pdfPages(m_dir.filePath("pdf-" + format + '/' + name + ".pdf"));
            EXPECT_TRUE(name != "notes" || pdf.size() > 1) << "the endnotes run past the main text's page";
            for (int page = 1; page <= int(pdf.size()) && !failed.contains(name); ++page) {
                SCOPED_TRACE(QString("%1 page %2").arg(name).arg(page).toStdString());
                pages << QString("%1-%2.emf").arg(name).arg(page);
                const QByteArray emf = FileBytes(conversion.output(pages.last()));
                const QString text = pdfemf::readEmf(emf).text();
                EXPECT_TRUE(IsWellFormedEmf(emf));
                EXPECT_EQ(LetterWordsMissing(pdf[page - 1].text, text), QStringList());
                EXPECT_TRUE(name != "notes" || (text.contains("ENDNOTELAST") == (page == int(pdf.size())) &&
                                                text.contains("MAINTEXT") == (page == 1)));
            }
            EXPECT_TRUE(name != "empty" || pdf.size() == 1);
        }
        // A document that failed may leave the pictures of the pages before its failure.
        QStringList files = conversion.outputFiles();
        files.removeIf([&](const QString& file) { return failed.contains(file.section('-', 0, -2)); });
        files.sort();
        pages.sort();
        EXPECT_EQ(files, pages) << "one picture per page of the PDF export, nothing else";
        for (const QString& file : extraction.outputFiles()) {
            EXPECT_TRUE(names.contains(file.section('-', 0, -2))) << file.toStdString();
            EXPECT_TRUE(IsWellFormedBmp(FileBytes(extraction.output(file)))) << file.toStdString();
            objects[file.section('-', 0, -2) + '.' + format] << file;
        }
    }
    for (auto it = knownObjects.cbegin(); it != knownObjects.cend(); ++it)
        EXPECT_EQ(objects.value(it.key()), *it) << it.key().toStdString();
    EXPECT_FALSE(server.waitForNewConnection(1000)) << "the office fetched a linked picture";
}

// The chart of shp-inline-shape-access.docx is an embedded object, whose picture is its replacement
// picture (see the corpus run): the graphic export filter refuses it with an office message that is
// nothing but a place in the office's source, and a refusal like that reads as words.
TEST_F(CorpusTest, TheFilterRefusalOfAnEmbeddedObjectReadsAsWords)
{
    lo::LibreOfficeSession session;
    const auto guarded = [&](auto work) { return session.guarded(session.deadlineFor(0), work); };
    const auto component = lo::loadWordProcessorDocument(session, QUILLET_CORPUS_DIR
                                                         "/python-docx/shp-inline-shape-access.docx");
    const css::uno::Reference<css::frame::XModel> model(component, css::uno::UNO_QUERY_THROW);
    css::uno::Reference<css::drawing::XShape> chart;
    for (const auto& shape : guarded([&] { return lo::listShapes(model, true); })) {
        if (css::uno::Reference<css::lang::XServiceInfo>(shape, css::uno::UNO_QUERY_THROW)
                ->supportsService("com.sun.star.text.TextEmbeddedObject"))
            chart = shape;
    }
    ASSERT_TRUE(chart.is()) << "the document's chart is an embedded object";
    try {
        guarded([&] {
            const css::uno::Reference<css::lang::XComponent> source(chart, css::uno::UNO_QUERY_THROW);
            return lo::exportGraphic(session.context(), source, "image/bmp", m_dir.filePath("refused.bmp"));
        });
        ADD_FAILURE() << "the graphic export filter took an embedded object";
    } catch (const EngineError& error) {
        EXPECT_EQ(UnreadableBecause(error.description()), QString()) << error.description().toStdString();
    }
    guarded([&] { lo::closeComponent(component); });
}
