#include "ConvertCorpus.h"
#include "TestDocuments.h"

#include "engine/libreoffice/LoGraphicExport_p.h"
#include "engine/libreoffice/LoUno_p.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <chrono>
#include <com/sun/star/frame/XStorable.hpp>
#include <stdexcept>

namespace quillet::bench {

namespace {

QByteArray Png(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    for (int y = 0; y < height; y += 4)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 5) % 256, (y * 3) % 256, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString Frame(const QString& anchor, const QString& position, const QByteArray& png, const QString& name)
{
    return QStringLiteral("<draw:frame draw:name=\"%1\" text:anchor-type=\"%2\" %3svg:width=\"0.8in\" "
                          "svg:height=\"0.6in\"><draw:image><office:binary-data>%4</office:binary-data>"
                          "</draw:image></draw:frame>")
        .arg(name, anchor, position, QString::fromLatin1(png.toBase64()));
}

const char* const CjkSentences[] = {
    "文档转换工具把每一页保存为矢量图片，表格、编号和图片都保留在页面中。",
    "批量处理时，每个文档的异常记录到日志文件，处理继续进行下一个文档。",
    "这一段混合了中文和 Latin text，用来检查字体替换与排版的速度。",
};
const char* const LatinSentences[] = {
    "The quick brown fox jumps over the lazy dog while the office lays out the page.",
    "Every page carries a list, a table and a picture, as real reports usually do.",
};

} // namespace

QByteArray CorpusFlatOdt(int pages, int seed)
{
    QString body;
    const QByteArray inlinePng = Png(64, 48, qRgb(30, 60, 200));
    for (int page = 1; page <= pages; ++page) {
        body += QStringLiteral(
                    "<text:h text:outline-level=\"1\" text:style-name=\"%1\">第%2页 Page %2 (%3)</text:h>")
                    .arg(page == 1 ? QStringLiteral("H") : QStringLiteral("PB"))
                    .arg(page)
                    .arg(seed);
        if (page == 1) {
            body += QStringLiteral("<text:p>") +
                    Frame(QStringLiteral("paragraph"), QStringLiteral("svg:x=\"12cm\" svg:y=\"0cm\" "),
                          Png(80, 60, qRgb(200, 30, 30)), QStringLiteral("Floating")) +
                    QStringLiteral("浮动图片 floating picture.</text:p>");
        }
        for (int i = 0; i < 3; ++i) {
            body += QStringLiteral("<text:p>%1 %2</text:p>")
                        .arg(QString::fromUtf8(CjkSentences[(page + i) % 3]),
                             QString::fromUtf8(LatinSentences[(page + i + seed) % 2]));
        }
        body += QStringLiteral("<text:list text:style-name=\"L1\">");
        for (int i = 1; i <= 3; ++i)
            body += QStringLiteral("<text:list-item><text:p>列表项 item %1.%2</text:p></text:list-item>")
                        .arg(page)
                        .arg(i);
        body += QStringLiteral("</text:list>");
        body +=
            QStringLiteral(
                "<table:table table:name=\"T%1\"><table:table-column table:number-columns-repeated=\"3\"/>")
                .arg(page);
        for (int row = 1; row <= 3; ++row) {
            body += QStringLiteral("<table:table-row>");
            for (int col = 1; col <= 3; ++col) {
                body += QStringLiteral(
                            "<table:table-cell office:value-type=\"string\"><text:p>单元 %1-%2</text:p>"
                            "</table:table-cell>")
                            .arg(row)
                            .arg(col);
            }
            body += QStringLiteral("</table:table-row>");
        }
        body += QStringLiteral("</table:table>");
        body += QStringLiteral("<text:p>嵌入图片 in-line picture: ") +
                Frame(QStringLiteral("as-char"), QString(), inlinePng, QStringLiteral("Inline%1").arg(page)) +
                QStringLiteral("</text:p>");
    }
    const QString document = QLatin1String(testing::flatOdtStart) + QStringLiteral(
        "<office:automatic-styles>"
        "<style:style style:name=\"H\" style:family=\"paragraph\"/>"
        "<style:style style:name=\"PB\" style:family=\"paragraph\"><style:paragraph-properties "
        "fo:break-before=\"page\"/></style:style>"
        "<text:list-style style:name=\"L1\"><text:list-level-style-number text:level=\"1\" "
        "style:num-suffix=\".\" style:num-format=\"1\"/></text:list-style>"
        "</office:automatic-styles><office:body><office:text>%1</office:text></office:body></"
        "office:document>");
    return document.arg(body).toUtf8();
}

void WithLoadedDocument(lo::LibreOfficeSession& session, const QString& path,
                        const std::function<void(const css::uno::Reference<css::lang::XComponent>&)>& work)
{
    using css::uno::Any;
    session.guarded(std::chrono::minutes(10), [&] {
        const css::uno::Reference<css::lang::XComponent> document = session.desktop()->loadComponentFromURL(
            lo::fileUrl(path), "_blank", 0, lo::props({{"Hidden", Any(true)}, {"ReadOnly", Any(true)}}));
        work(document);
        lo::closeComponent(document);
    });
}

void SaveFlatOdt(lo::LibreOfficeSession& session, const QByteArray& flatOdt, const QString& target,
                 const CorpusFormat& format)
{
    const QString flat = target + QStringLiteral(".fodt");
    QFile file(flat);
    if (!file.open(QIODevice::WriteOnly) || file.write(flatOdt) < 0)
        throw std::runtime_error("cannot write " + flat.toStdString());
    file.close();
    WithLoadedDocument(session, flat, [&](const css::uno::Reference<css::lang::XComponent>& document) {
        css::uno::Reference<css::frame::XStorable>(document, css::uno::UNO_QUERY_THROW)
            ->storeToURL(
                lo::fileUrl(target),
                lo::props({{"FilterName", css::uno::Any(lo::OUString::createFromAscii(format.filter))}}));
    });
    QFile::remove(flat);
}

} // namespace quillet::bench
