#include "pdfemf/PdfEmf.h"
#include "pdfpages/PageRasters_p.h"
#include "pdfpages/PageWriters_p.h"
#include "pdfpages/PngEncoding_p.h"

#include <QFileInfo>
#include <QImage>
#include <QUrl>
#include <cairo-svg.h>
#include <cairo.h>
#include <cmath>
#include <poppler.h>

namespace quillet::pdfpages {

namespace {

// A raster larger than this (4 bytes a pixel) is refused rather than risking the machine's memory;
// cairo itself draws no more than 32767 pixels a side.
constexpr qint64 kMaxPixels = 256LL * 1024 * 1024;
constexpr int kMaxSide = 32767;
// A raster up to this size is compressed on an aside thread while the next page is rasterised.
constexpr qint64 kMaxPixelsCompressedAside = 16LL * 1024 * 1024;

cairo_status_t appendTo(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<QByteArray*>(closure)->append(reinterpret_cast<const char*>(data), qsizetype(length));
    return CAIRO_STATUS_SUCCESS;
}

template <class T> struct GObjectRef
{
    T* object = nullptr;
    ~GObjectRef()
    {
        if (object)
            g_object_unref(object);
    }
};

class CairoWriter : public PageWriter
{
public:
    CairoWriter(const QString& pdfPath, PageFormat format, int dpi) : m_format(format), m_dpi(dpi)
    {
        pdfemf::initPoppler();
        const QByteArray uri = QUrl::fromLocalFile(QFileInfo(pdfPath).absoluteFilePath()).toEncoded();
        m_document.object = poppler_document_new_from_file(uri.constData(), nullptr, nullptr);
    }
    bool isOk() const override { return m_document.object != nullptr; }
    int pageCount() const override
    {
        return m_document.object ? poppler_document_get_n_pages(m_document.object) : 0;
    }

    WrittenPage write(int page) override
    {
        GObjectRef<PopplerPage> pdfPage{poppler_document_get_page(m_document.object, page - 1)};
        if (!pdfPage.object)
            return {};
        double width = 0, height = 0;
        poppler_page_get_size(pdfPage.object, &width, &height);
        if (m_format == PageFormat::Svg)
            return {svg(pdfPage.object, page, width, height), {}};
        return png(pdfPage.object, page, width, height);
    }

private:
    static QString failure(int page, const char* format, cairo_status_t status)
    {
        return QStringLiteral("第%1页无法生成%2图片：%3")
            .arg(page)
            .arg(QLatin1String(format), QString::fromUtf8(cairo_status_to_string(status)));
    }

    PagePicture svg(PopplerPage* pdfPage, int page, double width, double height)
    {
        PagePicture picture;
        cairo_surface_t* surface =
            cairo_svg_surface_create_for_stream(appendTo, &picture.bytes, width, height);
        cairo_t* cr = cairo_create(surface);
        poppler_page_render_for_printing(pdfPage, cr);
        cairo_status_t status = cairo_status(cr);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        if (status == CAIRO_STATUS_SUCCESS)
            status = cairo_surface_status(surface);
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS)
            return {{}, failure(page, "SVG", status)};
        return picture;
    }

    WrittenPage png(PopplerPage* pdfPage, int page, double width, double height)
    {
        const double scale = m_dpi / 72.0;
        const qint64 pixelsWide = qint64(std::ceil(width * scale - 0.001));
        const qint64 pixelsHigh = qint64(std::ceil(height * scale - 0.001));
        if (pixelsWide > kMaxSide || pixelsHigh > kMaxSide || pixelsWide * pixelsHigh > kMaxPixels) {
            return {{{},
                     QStringLiteral("第%1页在%2 dpi下太大（%3×%4像素），无法生成PNG图片。")
                         .arg(page)
                         .arg(m_dpi)
                         .arg(pixelsWide)
                         .arg(pixelsHigh)},
                    {}};
        }
        QImage image = pageRaster(int(pixelsWide), int(pixelsHigh));
        if (image.isNull())
            return {{{}, QStringLiteral("第%1页无法生成PNG图片：内存不足。").arg(page)}, {}};
        image.fill(Qt::white);
        cairo_surface_t* surface = cairo_image_surface_create_for_data(
            image.bits(), CAIRO_FORMAT_RGB24, image.width(), image.height(), int(image.bytesPerLine()));
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        poppler_page_render(pdfPage, cr);
        const cairo_status_t status = cairo_status(cr);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS)
            return {{{}, failure(page, "PNG", status)}, {}};
        auto compress = [image, page, dpi = m_dpi] {
            PagePicture picture{encodePng(image, dpi), {}};
            if (picture.bytes.isEmpty())
                picture.error = QStringLiteral("第%1页无法生成PNG图片：压缩失败。").arg(page);
            return picture;
        };
        // A second raster alive at once only when it is small.
        if (pixelsWide * pixelsHigh > kMaxPixelsCompressedAside)
            return {compress(), {}};
        return {{}, compress};
    }

    GObjectRef<PopplerDocument> m_document;
    PageFormat m_format;
    int m_dpi;
};

} // namespace

std::unique_ptr<PageWriter> makeCairoWriter(const QString& pdfPath, PageFormat format, int dpi)
{
    return std::make_unique<CairoWriter>(pdfPath, format, dpi);
}

} // namespace quillet::pdfpages
