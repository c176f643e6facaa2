#include "TestDocuments.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <stdexcept>

namespace quillet::testing {

namespace {

// Everything one test run builds, and the soffice profiles, live here until the program ends.
QTemporaryDir& workDir()
{
    static QTemporaryDir dir(QDir::tempPath() + "/quillet-testdocs-XXXXXX");
    return dir; // a folder that could not be made fails the first write
}

QString pngOf(QSize size, QRgb color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

// A frame (`frame`: name, anchor, place) of a picture of `size` pixels in `color`, at 96 to the inch.
QString picture(const QString& frame, QSize size, QRgb color, QString width = {}, QString height = {})
{
    const auto inches = [](int pixels) { return QString::number(pixels / 96.0, 'f', 4) + "in"; };
    return QString("<draw:frame %1 svg:width=\"%2\" svg:height=\"%3\" draw:z-index=\"0\"><draw:image>"
                   "<office:binary-data>%4</office:binary-data></draw:image></draw:frame>")
        .arg(frame, width.isEmpty() ? inches(size.width()) : width,
             height.isEmpty() ? inches(size.height()) : height, pngOf(size, color));
}

QString pageBody(const TestDocumentSpec& spec, int page)
{
    const auto paragraph = [](const QString& text, const QString& style = "Standard") {
        return QString("<text:p text:style-name=\"%1\">%2</text:p>").arg(style, text);
    };
    QString body;
    if (spec.pagePicture && page == 1) {
        body += picture(R"(draw:style-name="frPage" draw:name="PagePicture" text:anchor-type="page" )"
                        R"(text:anchor-page-number="2" svg:x="2cm" svg:y="1.5cm")",
                        {8, 12}, qRgb(200, 40, 40), "17cm", "26.7cm");
    }
    if (spec.tableAtPageStart == page) {
        const QString cell = "<table:table-cell office:value-type=\"string\">%1</table:table-cell>";
        body += QString("<table:table table:name=\"Table%1\" table:style-name=\"%2\"><table:table-column "
                        "table:number-columns-repeated=\"2\"/><table:table-row>%3%4</table:table-row>"
                        "<table:table-row>%5%6</table:table-row></table:table>")
                    .arg(QString::number(page), page > 1 ? "TBreak" : "Tbl",
                         cell.arg(paragraph(pageMarker(page))), cell.arg(paragraph("cell B1")),
                         cell.arg(paragraph("cell A2")), cell.arg(paragraph("cell B2")));
    } else {
        body += paragraph(pageMarker(page), page > 1              ? "PBreak"
                                            : spec.blankFirstPage ? "LeftFirst"
                                                                  : "Standard");
    }
    body += "<text:list text:style-name=\"L1\" text:continue-numbering=\"true\"><text:list-item>" +
            paragraph(QString("List item of page %1").arg(page), "ListPara") +
            "</text:list-item></text:list>";
    if (spec.pictures && page == 1) {
        body += paragraph(
            picture(R"(draw:style-name="fr1" draw:name="FloatingPicture" text:anchor-type="paragraph" )"
                    R"(svg:x="10cm" svg:y="0cm")",
                    TestPictures::floatingSize, TestPictures::floatingColor) +
            R"(<draw:rect draw:style-name="gr1" draw:name="Rect" text:anchor-type="paragraph" svg:x="6cm" )"
            R"(svg:y="0cm" svg:width="2cm" svg:height="1cm" draw:z-index="1"/>In-line picture: )" +
            picture(R"(draw:name="InlinePicture" text:anchor-type="as-char")", TestPictures::inlineSize,
                    TestPictures::inlineColor) +
            " end.");
    }
    if (spec.longParagraph && page == 1) {
        QString words;
        for (int i = 1; i <= 1400; ++i)
            words += QString("word%1 ").arg(i);
        body += paragraph(words);
    }
    const QString filler =
        "Filler paragraph %1 of page %2: the quick brown fox jumps over the lazy dog, again "
        "and again, so that the line wraps at least once on the page.";
    for (int i = 1; i <= spec.fillerParagraphs; ++i)
        body += paragraph(filler.arg(i).arg(page));
    // A photo report: pictures 16 cm wide, one to a line, 1, 2, 3 and 1 to a page (a page holds 26.7 cm).
    if (spec.photoParagraphs > 0 && page == 1) {
        QString photos;
        for (int i = 0; i < 7; ++i) {
            photos += spec.photoParagraphs > 1 && i == 3 ? "</text:p><text:p>" : "";
            photos += picture(QString(R"(draw:name="Photo%1" text:anchor-type="as-char")").arg(i + 1),
                              {8, 12}, qRgb(30 * i, 120, 200), "16cm",
                              QString::number(QList{24, 11, 11, 7, 7, 7, 24}[i]) + "cm");
        }
        body += paragraph(photos, "PBreak");
    }
    return body;
}

QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        tool.kill();
        tool.waitForFinished(5000);
        throw std::runtime_error(program.toStdString() + " failed on " + arguments.join(' ').toStdString());
    }
    return tool.readAllStandardOutput();
}

// Converts `document` into the work folder's `outDir`; returns the copy's path.
QString convert(const QString& document, const QString& format, const QString& outDir)
{
    static const QMap<QString, QString> targets{{"docx", "docx:MS Word 2007 XML"},
                                                {"doc", "doc:MS Word 97"},
                                                {"rtf", "rtf:Rich Text Format"},
                                                {"pdf", "pdf:writer_pdf_Export"}};
    ConvertWithSoffice({{{document}, targets.value(format, format), workDir().filePath(outDir)}});
    const QString path =
        workDir().filePath(outDir + '/' + QFileInfo(document).completeBaseName() + '.' + format);
    if (!QFile::exists(path))
        throw std::runtime_error("soffice left no " + path.toStdString());
    return path;
}

} // namespace

QString testDocument(const TestDocumentSpec& spec, const QString& format)
{
    QString body;
    for (int page = 1; page <= spec.pages; ++page)
        body += pageBody(spec, page);
    const QByteArray odt =
        flatOdt(body, spec.header ? "<style:header><text:p>HEADER-LINE</text:p></style:header>" : "");
    const QString key = QString::fromLatin1(QCryptographicHash::hash(odt, QCryptographicHash::Md5).toHex());
    const QString fodt = workDir().filePath(key + ".fodt");
    if (!QFile::exists(fodt))
        writeFile(fodt, odt);
    if (const QString path = workDir().filePath(format + '/' + key + '.' + format); QFile::exists(path))
        return path;
    return convert(fodt, format, format);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

const char flatOdtStart[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
    "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
    "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
    "office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">";

QByteArray flatOdt(const QString& body, const QString& header)
{
    return (QLatin1String(flatOdtStart) + QString(R"(
 <office:automatic-styles>
  <style:style style:name="PBreak" style:family="paragraph"><style:paragraph-properties fo:break-before="page"/></style:style>
  <style:style style:name="ListPara" style:family="paragraph" style:list-style-name="L1"/>
  <style:style style:name="LeftFirst" style:family="paragraph" style:master-page-name="LeftOnly"/>
  <style:style style:name="TBreak" style:family="table"><style:table-properties style:width="16cm" table:align="left" fo:break-before="page"/></style:style>
  <style:style style:name="Tbl" style:family="table"><style:table-properties style:width="16cm" table:align="left"/></style:style>
  <style:style style:name="fr1" style:family="graphic"><style:graphic-properties style:wrap="none" style:vertical-pos="top" style:vertical-rel="paragraph" style:horizontal-pos="from-left" style:horizontal-rel="paragraph" fo:border="none" fo:padding="0cm"/></style:style>
  <style:style style:name="frPage" style:family="graphic"><style:graphic-properties style:wrap="none" style:vertical-pos="from-top" style:vertical-rel="page" style:horizontal-pos="from-left" style:horizontal-rel="page" fo:border="none" fo:padding="0cm"/></style:style>
  <style:style style:name="gr1" style:family="graphic"><style:graphic-properties draw:fill="solid" draw:fill-color="%1" draw:stroke="none" style:wrap="none" style:vertical-pos="top" style:vertical-rel="paragraph" style:horizontal-pos="from-left" style:horizontal-rel="paragraph"/></style:style>
  <text:list-style style:name="L1"><text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1"><style:list-level-properties text:list-level-position-and-space-mode="label-alignment"><style:list-level-label-alignment text:label-followed-by="listtab" text:list-tab-stop-position="1.27cm" fo:text-indent="-0.635cm" fo:margin-left="1.27cm"/></style:list-level-properties></text:list-level-style-number></text:list-style>
 <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="1.5cm" fo:margin-bottom="1.5cm" fo:margin-left="2cm" fo:margin-right="2cm"/></style:page-layout>
 <style:page-layout style:name="pmLeft" style:page-usage="left"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="1.5cm" fo:margin-bottom="1.5cm" fo:margin-left="2cm" fo:margin-right="2cm"/></style:page-layout>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">%3</style:master-page><style:master-page style:name="LeftOnly" style:page-layout-name="pmLeft">%3</style:master-page></office:master-styles>
 <office:body><office:text>%2</office:text></office:body>
</office:document>
)")
                .arg(QColor(TestPictures::rectangleColor).name(), body, header))
        .toUtf8();
}

std::vector<PdfPage> pdfPages(const QString& pdf)
{
    std::vector<PdfPage> pages;
    for (const QString& text :
         QString::fromUtf8(runTool("pdftotext", {"-enc", "UTF-8", pdf, "-"})).split('\f'))
        pages.push_back({text, 0});
    pages.pop_back(); // pdftotext ends every page with a form feed
    // Two heading lines, then one line per image, "page num type ...", soft masks on lines of their own.
    for (const QString& line : QString::fromUtf8(runTool("pdfimages", {"-list", pdf})).split('\n').mid(2)) {
        const QStringList columns = line.split(' ', Qt::SkipEmptyParts);
        if (columns.value(2) == "image")
            ++pages.at(static_cast<std::size_t>(columns[0].toInt() - 1)).pictures;
    }
    return pages;
}

std::vector<PdfPage> testDocumentPdfPages(const TestDocumentSpec& spec, const QString& format)
{
    const QString document = testDocument(spec, format);
    const QString pdf =
        workDir().filePath("pdf-" + format + '/' + QFileInfo(document).completeBaseName() + ".pdf");
    return pdfPages(QFile::exists(pdf) ? pdf : convert(document, "pdf", "pdf-" + format));
}

void ConvertWithSoffice(const QList<SofficeRun>& runs)
{
    // Profiles are kept for the next runs: a fresh one takes seconds to make.
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const SofficeRun& run : runs) {
        const QString profile = workDir().filePath(QString("profile-%1").arg(processes.size()));
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessChannelMode(QProcess::MergedChannels);
        processes.back()->start(
            "soffice", QStringList{"--headless", "--norestore",
                                   "-env:UserInstallation=" + QUrl::fromLocalFile(profile).toString(),
                                   "--convert-to", run.target, "--outdir", run.outDir}
                           << run.sources);
    }
    for (const auto& process : processes) {
        if (!process->waitForFinished(900000)) {
            process->kill();
            process->waitForFinished();
        }
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0)
            throw std::runtime_error("soffice failed: " + process->readAll().toStdString());
    }
}

} // namespace quillet::testing
