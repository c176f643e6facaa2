#include "TestDocuments.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
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
    return QStringLiteral("doc-p%1-t%2-g%3-f%4-l%5-h%6")
        .arg(spec.pages)
        .arg(spec.tableAtPageStart)
        .arg(spec.pictures ? 1 : 0)
        .arg(spec.fillerParagraphs)
        .arg(spec.longParagraph ? 1 : 0)
        .arg(spec.header ? 1 : 0);
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

QString pictureFrame(const QString& name, const QString& anchor, QSize size, QRgb color, const QString& x)
{
    return QStringLiteral("<draw:frame draw:style-name=\"fr1\" draw:name=\"%1\" text:anchor-type=\"%2\" %3"
                          "svg:width=\"%4\" svg:height=\"%5\" draw:z-index=\"0\"><draw:image>"
                          "<office:binary-data>%6</office:binary-data></draw:image></draw:frame>")
        .arg(name, anchor, x.isEmpty() ? QString() : QStringLiteral("svg:x=\"%1\" svg:y=\"0cm\" ").arg(x),
             inches(size.width()), inches(size.height()), QString::fromLatin1(pngOf(size, color).toBase64()));
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
    const bool startsWithTable = spec.tableAtPageStart == page;
    if (startsWithTable) {
        body += table(page, page > 1);
    } else {
        body += QStringLiteral("<text:p text:style-name=\"%1\">%2</text:p>")
                    .arg(page > 1 ? QStringLiteral("PBreak") : QStringLiteral("Standard"), pageMarker(page));
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
    return body;
}

void convert(const QString& source, const QString& format, const QString& outDir)
{
    // A private profile: tests never share or disturb the user's or another test's office.
    const QString profile = workDir().path() + QStringLiteral("/profile");
    const QStringList filters{QStringLiteral("docx:MS Word 2007 XML"), QStringLiteral("doc:MS Word 97"),
                              QStringLiteral("rtf:Rich Text Format")};
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

// Writer's RTF export turns an in-line picture into a shape field, which reads back as a floating
// object. Put a plain in-line \pict in its place, as word processors write in-line pictures.
void makeInlinePictureInline(const QString& rtfPath)
{
    QFile file(rtfPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + rtfPath.toStdString());
    QByteArray rtf = file.readAll();
    file.close();
    const qsizetype name = rtf.indexOf("InlinePicture");
    const qsizetype begin = name < 0 ? -1 : rtf.lastIndexOf("{\\field", name);
    if (begin < 0)
        throw std::runtime_error("no in-line picture field in " + rtfPath.toStdString());
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
    const QSize size = TestPictures::inlineSize;
    const QByteArray pict = "{\\*\\shppict{\\pict\\pngblip\\picw" + QByteArray::number(size.width()) +
                            "\\pich" + QByteArray::number(size.height()) + "\\picwgoal" +
                            QByteArray::number(size.width() * 15) + "\\pichgoal" +
                            QByteArray::number(size.height() * 15) + " " +
                            pngOf(size, TestPictures::inlineColor).toHex() + "}}";
    rtf.replace(begin, end + 1 - begin, pict);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rtf) != rtf.size())
        throw std::runtime_error("cannot write " + rtfPath.toStdString());
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
  <style:style style:name="TBreak" style:family="table"><style:table-properties style:width="16cm" table:align="left" fo:break-before="page"/></style:style>
  <style:style style:name="Tbl" style:family="table"><style:table-properties style:width="16cm" table:align="left"/></style:style>
  <style:style style:name="fr1" style:family="graphic"><style:graphic-properties style:wrap="none" style:vertical-pos="top" style:vertical-rel="paragraph" style:horizontal-pos="from-left" style:horizontal-rel="paragraph" fo:border="none" fo:padding="0cm"/></style:style>
  <style:style style:name="gr1" style:family="graphic"><style:graphic-properties draw:fill="solid" draw:fill-color="%1" draw:stroke="none" style:wrap="none" style:vertical-pos="top" style:vertical-rel="paragraph" style:horizontal-pos="from-left" style:horizontal-rel="paragraph"/></style:style>
  <text:list-style style:name="L1"><text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1"><style:list-level-properties text:list-level-position-and-space-mode="label-alignment"><style:list-level-label-alignment text:label-followed-by="listtab" text:list-tab-stop-position="1.27cm" fo:text-indent="-0.635cm" fo:margin-left="1.27cm"/></style:list-level-properties></text:list-level-style-number></text:list-style>
 <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="1.5cm" fo:margin-bottom="1.5cm" fo:margin-left="2cm" fo:margin-right="2cm"/></style:page-layout>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Standard" style:page-layout-name="pm1">%3</style:master-page></office:master-styles>
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
        if (spec.pictures && format == QLatin1String("rtf"))
            makeInlinePictureInline(path);
    }
    built.insert(cacheKey, path);
    return path;
}

} // namespace quillet::testing
