#include "TestDocuments.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <stdexcept>

namespace quillet::testing {

namespace {

// Everything one test run builds lives here; removed when the test program ends.
QTemporaryDir& workDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillet-testdocs-XXXXXX"));
    return dir;
}

QString specKey(const TestDocumentSpec& spec)
{
    return QStringLiteral("doc-p%1-t%2-g%3-f%4-l%5-h%6-r%7-b%8-a%9")
        .arg(spec.pages)
        .arg(spec.tableAtPageStart)
        .arg(spec.pictures ? 1 : 0)
        .arg(spec.fillerParagraphs)
        .arg(spec.longParagraph ? 1 : 0)
        .arg(spec.header ? 1 : 0)
        .arg(spec.photoParagraphs)
        .arg(spec.blankFirstPage ? 1 : 0)
        .arg(spec.pagePicture ? 1 : 0);
}

QByteArray pngOf(QSize size, QRgb color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Lengths in inches at 96 pixels per inch, so a picture shows at its own pixel size.
QString inches(int pixels)
{
    return QString::number(pixels / 96.0, 'f', 4) + QStringLiteral("in");
}

QString pictureFrame(const QString& name, const QString& anchor, const QString& width, const QString& height,
                     const QByteArray& png, const QString& x)
{
    return QStringLiteral("<draw:frame draw:style-name=\"fr1\" draw:name=\"%1\" text:anchor-type=\"%2\" %3"
                          "svg:width=\"%4\" svg:height=\"%5\" draw:z-index=\"0\"><draw:image>"
                          "<office:binary-data>%6</office:binary-data></draw:image></draw:frame>")
        .arg(name, anchor, x.isEmpty() ? QString() : QStringLiteral("svg:x=\"%1\" svg:y=\"0cm\" ").arg(x),
             width, height, QString::fromLatin1(png.toBase64()));
}

QString pictureFrame(const QString& name, const QString& anchor, QSize size, QRgb color, const QString& x)
{
    return pictureFrame(name, anchor, inches(size.width()), inches(size.height()), pngOf(size, color), x);
}

// Pictures as wide as the text, 16 cm, stacked one to a line: 1, 2, 3 and 1 to a page (the page
// holds 26.7 cm of text).
QString photoReport(int paragraphs)
{
    const int heights[] = {24, 11, 11, 7, 7, 7, 24};
    QString body = QStringLiteral("<text:p text:style-name=\"PBreak\">");
    for (int i = 0; i < 7; ++i) {
        if (paragraphs > 1 && i == 3)
            body += QStringLiteral("</text:p><text:p>");
        body += pictureFrame(QStringLiteral("Photo%1").arg(i + 1), QStringLiteral("as-char"),
                             QStringLiteral("16cm"), QStringLiteral("%1cm").arg(heights[i]),
                             pngOf({8, 12}, qRgb(30 * i, 120, 200)), QString());
    }
    return body + QStringLiteral("</text:p>");
}

QString picturesParagraph()
{
    const QString rect = QStringLiteral("<draw:rect draw:style-name=\"gr1\" draw:name=\"Rect\" "
                                        "text:anchor-type=\"paragraph\" svg:x=\"6cm\" svg:y=\"0cm\" "
                                        "svg:width=\"2cm\" svg:height=\"1cm\" draw:z-index=\"1\"/>");
    return QStringLiteral("<text:p>") +
           pictureFrame(QStringLiteral("FloatingPicture"), QStringLiteral("paragraph"),
                        TestPictures::floatingSize, TestPictures::floatingColor, QStringLiteral("10cm")) +
           rect + QStringLiteral("In-line picture: ") +
           pictureFrame(QStringLiteral("InlinePicture"), QStringLiteral("as-char"), TestPictures::inlineSize,
                        TestPictures::inlineColor, QString()) +
           QStringLiteral(" end.</text:p>");
}

QString table(int page, bool breakBefore)
{
    return QStringLiteral(
               "<table:table table:name=\"Table%1\" table:style-name=\"%2\">"
               "<table:table-column table:number-columns-repeated=\"2\"/>"
               "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>%3</text:p>"
               "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p>cell B1"
               "</text:p></table:table-cell></table:table-row>"
               "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>cell A2"
               "</text:p></table:table-cell><table:table-cell office:value-type=\"string\"><text:p>"
               "cell B2</text:p></table:table-cell></table:table-row></table:table>")
        .arg(page)
        .arg(breakBefore ? QStringLiteral("TBreak") : QStringLiteral("Tbl"))
        .arg(pageMarker(page));
}

QString pageBody(const TestDocumentSpec& spec, int page)
{
    QString body;
    if (spec.pagePicture && page == 1) {
        body += QStringLiteral(
                    "<draw:frame draw:style-name=\"frPage\" draw:name=\"PagePicture\" "
                    "text:anchor-type=\"page\" text:anchor-page-number=\"2\" svg:x=\"2cm\" "
                    "svg:y=\"1.5cm\" svg:width=\"17cm\" svg:height=\"26.7cm\" draw:z-index=\"0\">"
                    "<draw:image><office:binary-data>%1</office:binary-data></draw:image></draw:frame>")
                    .arg(QString::fromLatin1(pngOf({8, 12}, qRgb(200, 40, 40)).toBase64()));
    }
    const bool startsWithTable = spec.tableAtPageStart == page;
    if (startsWithTable) {
        body += table(page, page > 1);
    } else {
        const QString style = page > 1              ? QStringLiteral("PBreak")
                              : spec.blankFirstPage ? QStringLiteral("LeftFirst")
                                                    : QStringLiteral("Standard");
        body += QStringLiteral("<text:p text:style-name=\"%1\">%2</text:p>").arg(style, pageMarker(page));
    }
    body +=
        QStringLiteral("<text:list text:style-name=\"L1\" text:continue-numbering=\"true\"><text:list-item>"
                       "<text:p text:style-name=\"ListPara\">List item of page %1</text:p></text:list-item>"
                       "</text:list>")
            .arg(page);
    if (spec.pictures && page == 1)
        body += picturesParagraph();
    if (spec.longParagraph && page == 1) {
        QString words;
        for (int i = 1; i <= 1400; ++i)
            words += QStringLiteral("word%1 ").arg(i);
        body += QStringLiteral("<text:p>") + words + QStringLiteral("</text:p>");
    }
    for (int i = 1; i <= spec.fillerParagraphs; ++i) {
        body +=
            QStringLiteral("<text:p>Filler paragraph %1 of page %2: the quick brown fox jumps over the lazy "
                           "dog, again and again, so that the line wraps at least once on the page.</text:p>")
                .arg(i)
                .arg(page);
    }
    if (spec.photoParagraphs > 0 && page == 1)
        body += photoReport(spec.photoParagraphs);
    return body;
}

void convert(const QString& source, const QString& format, const QString& outDir)
{
    // A private profile: tests never share or disturb the user's or another test's office.
    const QString profile = workDir().path() + QStringLiteral("/profile");
    const QStringList filters{QStringLiteral("docx:MS Word 2007 XML"), QStringLiteral("doc:MS Word 97"),
                              QStringLiteral("rtf:Rich Text Format"),
                              QStringLiteral("pdf:writer_pdf_Export")};
    QString target;
    for (const QString& f : filters) {
        if (f.startsWith(format + QLatin1Char(':')))
            target = f;
    }
    if (target.isEmpty())
        throw std::runtime_error("unknown test document format " + format.toStdString());

    QProcess soffice;
    soffice.setProgram(QStringLiteral("soffice"));
    soffice.setArguments({QStringLiteral("--headless"), QStringLiteral("--norestore"),
                          QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                          QStringLiteral("--convert-to"), target, QStringLiteral("--outdir"), outDir,
                          source});
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    soffice.start();
    if (!soffice.waitForFinished(180000)) {
        soffice.kill();
        soffice.waitForFinished(5000);
        throw std::runtime_error("soffice did not convert " + source.toStdString() + " in time");
    }
    if (soffice.exitStatus() != QProcess::NormalExit || soffice.exitCode() != 0)
        throw std::runtime_error("soffice failed on " + source.toStdString() + ": " +
                                 soffice.readAll().toStdString());
}

// End of the RTF group that opens at `begin` (its closing brace).
qsizetype groupEnd(const QByteArray& rtf, qsizetype begin)
{
    qsizetype end = begin;
    for (int depth = 0; end < rtf.size(); ++end) {
        if (rtf[end] == '\\') {
            ++end; // an escaped character never opens or closes a group
            continue;
        }
        depth += rtf[end] == '{' ? 1 : rtf[end] == '}' ? -1 : 0;
        if (depth == 0)
            break;
    }
    return end;
}

int shapeTwips(const QByteArray& field, const char* word)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("\\\\%1(-?\\d+)").arg(QLatin1String(word)))
            .match(QString::fromLatin1(field));
    if (!match.hasMatch())
        throw std::runtime_error(std::string("no \\") + word + " in an RTF shape");
    return match.captured(1).toInt();
}

// Writer's RTF export turns every picture into a shape field, and an in-line one reads back as a
// floating object. Put a plain in-line \pict of the shape's size in the place of each in-line
// picture (named "InlinePicture" or "Photo<n>" here), as word processors write them.
void makeInlinePicturesInline(const QString& rtfPath)
{
    QFile file(rtfPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + rtfPath.toStdString());
    QByteArray rtf = file.readAll();
    file.close();
    const QByteArray fieldStart = "{\\field{\\*\\fldinst SHAPE";
    int replaced = 0;
    for (qsizetype begin = rtf.indexOf(fieldStart); begin >= 0; begin = rtf.indexOf(fieldStart, begin)) {
        const qsizetype end = groupEnd(rtf, begin);
        const QByteArray field = rtf.mid(begin, end + 1 - begin);
        if (!field.contains("{\\sn wzName}{\\sv InlinePicture}") &&
            !field.contains("{\\sn wzName}{\\sv Photo")) {
            begin = end;
            continue;
        }
        const qsizetype blip = field.indexOf("{\\sn pib}");
        const qsizetype pict = blip < 0 ? -1 : field.indexOf("{\\pict", blip);
        if (pict < 0)
            throw std::runtime_error("no picture in a shape field of " + rtfPath.toStdString());
        QByteArray picture = field.mid(pict, groupEnd(field, pict) + 1 - pict);
        const int width = shapeTwips(field, "shpright") - shapeTwips(field, "shpleft");
        const int height = shapeTwips(field, "shpbottom") - shapeTwips(field, "shptop");
        picture.insert(6,
                       "\\picwgoal" + QByteArray::number(width) + "\\pichgoal" + QByteArray::number(height));
        const QByteArray inlinePicture = "{\\*\\shppict" + picture + "}";
        rtf.replace(begin, end + 1 - begin, inlinePicture);
        begin += inlinePicture.size();
        ++replaced;
    }
    if (replaced == 0)
        throw std::runtime_error("no in-line picture field in " + rtfPath.toStdString());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rtf) != rtf.size())
        throw std::runtime_error("cannot write " + rtfPath.toStdString());
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

} // namespace

QString pageMarker(int page)
{
    return QStringLiteral("PAGE-MARKER-%1").arg(page);
}

QByteArray flatOdt(const TestDocumentSpec& spec)
{
    QString body;
    for (int page = 1; page <= spec.pages; ++page)
        body += pageBody(spec, page);

    const QString rectColor = QColor(TestPictures::rectangleColor).name();
    const QString xml =
        QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
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
            .arg(rectColor, body,
                 spec.header ? QStringLiteral("<style:header><text:p>HEADER-LINE</text:p></style:header>")
                             : QString());
    return xml.toUtf8();
}

QString testDocument(const TestDocumentSpec& spec, const QString& format)
{
    static QMap<QString, QString> built;
    if (!workDir().isValid())
        throw std::runtime_error("cannot create a temporary folder for test documents");
    const QString key = specKey(spec);
    const QString cacheKey = key + QLatin1Char('.') + format;
    if (const auto it = built.constFind(cacheKey); it != built.cend())
        return *it;

    const QString fodt = workDir().filePath(key + QStringLiteral(".fodt"));
    if (!QFile::exists(fodt)) {
        QFile file(fodt);
        if (!file.open(QIODevice::WriteOnly) || file.write(flatOdt(spec)) < 0)
            throw std::runtime_error("cannot write " + fodt.toStdString());
    }
    QString path = fodt;
    if (format != QLatin1String("fodt")) {
        const QString outDir = workDir().filePath(format);
        QDir().mkpath(outDir);
        convert(fodt, format, outDir);
        path = outDir + QLatin1Char('/') + key + QLatin1Char('.') + format;
        if (!QFile::exists(path))
            throw std::runtime_error("soffice left no " + path.toStdString());
        if ((spec.pictures || spec.photoParagraphs > 0) && format == QLatin1String("rtf"))
            makeInlinePicturesInline(path);
    }
    built.insert(cacheKey, path);
    return path;
}

std::vector<PdfPage> testDocumentPdfPages(const TestDocumentSpec& spec, const QString& format)
{
    const QString document = testDocument(spec, format);
    const QString outDir = workDir().filePath(QStringLiteral("pdf-") + format);
    const QString pdf =
        outDir + QLatin1Char('/') + QFileInfo(document).completeBaseName() + QStringLiteral(".pdf");
    if (!QFile::exists(pdf)) {
        QDir().mkpath(outDir);
        convert(document, QStringLiteral("pdf"), outDir);
    }
    // pdftotext ends every page with a form feed.
    QStringList texts = QString::fromUtf8(runTool(QStringLiteral("pdftotext"),
                                                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                   QStringLiteral("-")}))
                            .split(QLatin1Char('\f'));
    texts.removeLast();
    std::vector<PdfPage> pages;
    for (const QString& text : std::as_const(texts))
        pages.push_back({text, 0});
    // Two heading lines, then one line per image: "page num type ..."; soft masks have lines of
    // their own.
    const QStringList lines =
        QString::fromUtf8(runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}))
            .split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2)) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (columns.size() < 3 || columns[2] != QLatin1String("image"))
            continue;
        const int page = columns[0].toInt();
        if (page < 1 || page > static_cast<int>(pages.size()))
            throw std::runtime_error("pdfimages names a page the text does not have in " + pdf.toStdString());
        ++pages[static_cast<std::size_t>(page - 1)].pictures;
    }
    return pages;
}

} // namespace quillet::testing
