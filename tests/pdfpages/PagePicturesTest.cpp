// Page pictures in every format from one PDF, without an office: the PDF is written here with cairo,
// a page of A4, a landscape A5 in red and one too large to rasterise at a high resolution.

#include "pdfpages/PagePictures.h"

#include "pdfemf/EmfRecords.h"
#include "pdfemf/PdfEmf.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSizeF>
#include <QTemporaryDir>
#include <cairo-pdf.h>
#include <gtest/gtest.h>

using namespace quillet;
using namespace quillet::pdfpages;

namespace {

const QSizeF kPagePoints[] = {{595, 842}, {595, 420}, {14400, 1440}};

QString writePdf(const QString& path)
{
    cairo_surface_t* pdf = cairo_pdf_surface_create(path.toLocal8Bit().constData(), 1, 1);
    cairo_t* cr = cairo_create(pdf);
    for (int page = 0; page < 3; ++page) {
        cairo_pdf_surface_set_size(pdf, kPagePoints[page].width(), kPagePoints[page].height());
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 20);
        if (page == 1)
            cairo_set_source_rgb(cr, 1, 0, 0);
        else
            cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, 50, 100);
        cairo_show_text(cr, QStringLiteral("page %1 text").arg(page + 1).toUtf8().constData());
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(pdf);
    return path;
}

// The text of a one-page PDF, read through the metafile writer.
QString pdfText(const QByteArray& bytes, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    file.close();
    pdfemf::PdfDocument document(path);
    return document.pageCount() == 1 ? pdfemf::readEmf(pdfemf::emfOfPdfPage(document, 1)).text() : QString();
}

TEST(PagePictures, EveryFormatFromTheSamePdf)
{
    QTemporaryDir dir;
    const QString pdf = writePdf(dir.filePath(QStringLiteral("three.pdf")));
    // Page 1 is never asked for, as with a range that starts later; page 4 does not exist. At the
    // highest resolution the third page is too large to rasterise: an error, never a missing page.
    const std::pair<PageStyle, int> rows[] = {{{PageFormat::Emf}, 2},
                                              {{PageFormat::Svg}, 2},
                                              {{PageFormat::Pdf}, 2},
                                              {{PageFormat::Png, 72}, 2},
                                              {{PageFormat::Png, kMaxDpi}, 3}};
    for (const auto& [style, firstPage] : rows) {
        SCOPED_TRACE(formatName(style.format).toStdString() + " " + std::to_string(style.dpi));
        PagePictures pictures(pdf, style);
        ASSERT_TRUE(pictures.isOk());
        ASSERT_EQ(pictures.pageCount(), 3);
        for (int page = firstPage; page <= 4; ++page) {
            const PagePicture picture = pictures.page(page);
            const QString text = QStringLiteral("page %1 text").arg(page);
            if (page == 4) {
                EXPECT_TRUE(picture.bytes.isEmpty() && picture.error.isEmpty());
                continue;
            }
            if (style.dpi == kMaxDpi) {
                EXPECT_TRUE(picture.bytes.isEmpty());
                EXPECT_TRUE(picture.error.contains(QStringLiteral("太大"))) << picture.error.toStdString();
                continue;
            }
            ASSERT_TRUE(picture.error.isEmpty()) << picture.error.toStdString();
            const QSizeF points = kPagePoints[page - 1];
            switch (style.format) {
            case PageFormat::Emf:
                EXPECT_EQ(pdfemf::readEmf(picture.bytes).text(), text);
                break;
            case PageFormat::Svg:
                EXPECT_TRUE(picture.bytes.contains("width=\"" + QByteArray::number(points.width()) + "pt\""));
                EXPECT_FALSE(picture.bytes.contains("page")) << "glyphs are outlines, not text";
                break;
            case PageFormat::Pdf:
                EXPECT_EQ(pdfText(picture.bytes, dir.filePath(QStringLiteral("page.pdf"))), text);
                break;
            case PageFormat::Png: {
                QBuffer buffer;
                buffer.setData(picture.bytes);
                QImageReader reader(&buffer, "png");
                EXPECT_EQ(reader.size(), (points / 72 * style.dpi).toSize()); // whole points here
                const QImage image = reader.read();
                EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
                EXPECT_EQ(std::lround(image.dotsPerMeterX() * 0.0254), style.dpi);
                // The text's own colour: a page in greys may be written as a grey PNG, no other.
                const QRgb ink = page == 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 0);
                bool inked = false;
                for (int y = 0; y < image.height() && !inked; ++y) {
                    for (int x = 0; x < image.width() && !inked; ++x)
                        inked = image.pixel(x, y) == ink;
                }
                EXPECT_TRUE(inked);
                break;
            }
            }
        }
    }
}

} // namespace
