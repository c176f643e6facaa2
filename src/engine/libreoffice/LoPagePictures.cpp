#include "engine/EngineError.h"
#include "engine/libreoffice/LoPagePictures_p.h"
#include "engine/libreoffice/LoUno_p.h"

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

void LoPagePictures::open(const QString& pdf, pdfpages::PageStyle style)
{
    close();
    m_path = pdf;
    auto pages = std::make_unique<pdfpages::PagePictures>(pdf, style);
    if (!pages->isOk()) {
        close();
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("LibreOffice导出的PDF文件无法读取。"));
    }
    m_format = pdfpages::formatName(style.format);
    m_pages = std::move(pages);
}

Picture LoPagePictures::pictureOfPage(int page)
{
    if (!m_pages)
        return {};
    pdfpages::PagePicture picture = m_pages->page(page);
    if (!picture.error.isEmpty())
        throw EngineError(ErrorNumber::OperationFailed, picture.error);
    return {picture.bytes, m_format};
}

void LoPagePictures::close()
{
    m_pages.reset();
    if (!m_path.isEmpty())
        QFile::remove(m_path);
    m_path.clear();
}

} // namespace quillet::lo
