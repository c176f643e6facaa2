#include "engine/EngineError.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"
#include "pdfemf/PdfEmf.h"

#include <QFile>
#include <com/sun/star/frame/XStorable.hpp>

namespace quillet::lo {

using namespace css;
using uno::Any;

void exportPagesPdf(const uno::Reference<lang::XComponent>& document, const QString& pdf)
{
    const uno::Sequence<beans::PropertyValue> filterData =
        props({{"IsSkipEmptyPages", Any(false)}, {"ExportNotes", Any(false)}});
    uno::Reference<frame::XStorable>(document, uno::UNO_QUERY_THROW)
        ->storeToURL(fileUrl(pdf), props({{"FilterName", Any(OUString("writer_pdf_Export"))},
                                          {"FilterData", Any(filterData)}}));
}

LoPagePictures::LoPagePictures() = default;

LoPagePictures::~LoPagePictures()
{
    close();
}

void LoPagePictures::open(const QString& pdf)
{
    close();
    m_path = pdf;
    auto document = std::make_unique<pdfemf::PdfDocument>(pdf);
    if (!document->isOk()) {
        close();
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("LibreOffice导出的PDF文件无法读取。"));
    }
    m_pdf = std::move(document);
}

QByteArray LoPagePictures::emfOfPage(int page)
{
    return m_pdf ? pdfemf::emfOfPdfPage(*m_pdf, page) : QByteArray();
}

void LoPagePictures::close()
{
    m_pdf.reset();
    if (!m_path.isEmpty())
        QFile::remove(m_path);
    m_path.clear();
}

} // namespace quillet::lo
