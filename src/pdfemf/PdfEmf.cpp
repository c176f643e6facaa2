#include "pdfemf/PdfEmf.h"

#include "pdfemf/PdfPageEmf_p.h"

#include <ErrorCodes.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <mutex>

namespace quillet::pdfemf {

struct PdfDocument::Data
{
    std::unique_ptr<PDFDoc> pdf;
    PdfPageEmf device;
    std::unique_ptr<PdfBackdrop> backdrop; // made for the first page that needs one
};

void initPoppler()
{
    // An initer kept for the life of the process: poppler's other interfaces (poppler-glib) make
    // and drop the global settings with initers of their own, and would otherwise drop them under
    // our documents when their last document closes.
    static const GlobalParamsIniter initer([](ErrorCategory, Goffset, const char*) {
        // Damaged files are reported by isOk(); poppler's own messages would only fill stderr.
    });
    static std::once_flag once;
    std::call_once(once, [] { globalParams->setErrQuiet(true); });
}

PdfDocument::PdfDocument(const QString& path) : m_data(std::make_unique<Data>())
{
    initPoppler();
    m_data->pdf = std::make_unique<PDFDoc>(std::make_unique<GooString>(path.toStdString()));
}

PdfDocument::~PdfDocument() = default;

bool PdfDocument::isOk() const
{
    return m_data->pdf->isOk();
}

int PdfDocument::pageCount() const
{
    return m_data->pdf->isOk() ? m_data->pdf->getNumPages() : 0;
}

QByteArray emfOfPdfPage(PdfDocument& document, int page)
{
    if (page < 1 || page > document.pageCount())
        return {};
    PdfDocument::Data& data = *document.m_data;
    PdfPageEmf& device = data.device;
    const double dpi = PdfPageEmf::UnitsPerInch;
    // Crop box as printed, annotations with appearances drawn, as a PDF viewer shows the page.
    const auto display = [&](PdfPageEmf::Backdrops mode, std::vector<BackdropShot> shots) {
        device.setBackdrops(mode, std::move(shots));
        data.pdf->displayPage(&device, page, dpi, dpi, 0, false, true, false);
    };
    display(PdfPageEmf::Backdrops::Collect, {});
    std::vector<BackdropShot> shots = device.takeShots();
    if (shots.empty())
        return device.takeEmf();
    // Translucent paints over something: written again with pictures of the page there.
    if (!data.backdrop)
        data.backdrop = std::make_unique<PdfBackdrop>();
    const bool rendered =
        data.backdrop->render(*data.pdf, page, PdfPageEmf::UnitsPerInch, shots, device.paintEvents());
    display(rendered ? PdfPageEmf::Backdrops::Draw : PdfPageEmf::Backdrops::Off, std::move(shots));
    return device.takeEmf();
}

bool savePdfPage(PdfDocument& document, int page, const QString& path)
{
    if (page < 1 || page > document.pageCount())
        return false;
    return document.m_data->pdf->savePageAs(GooString(path.toStdString()), page) == errNone;
}

} // namespace quillet::pdfemf
