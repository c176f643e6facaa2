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

// The exported PDF with its pages' writer, shared by the pictures still being written.
struct LoPagePictures::Pdf
{
    Pdf(const QString& path, pdfpages::PageStyle style, std::shared_ptr<const QTemporaryDir> folder)
        : folder(std::move(folder)), path(path), pages(path, style)
    {}
    ~Pdf() { QFile::remove(path); }

    // Declared first, so it goes last.
    const std::shared_ptr<const QTemporaryDir> folder;
    const QString path;
    pdfpages::PagePictures pages; // page() is called by one thread at a time: the saves' own
};

LoPagePictures::LoPagePictures() = default;

LoPagePictures::~LoPagePictures() = default;

bool LoPagePictures::prepared() const
{
    return m_pdf != nullptr;
}

void LoPagePictures::open(const QString& pdf, pdfpages::PageStyle style,
                          std::shared_ptr<const QTemporaryDir> folder)
{
    close();
    auto opened = std::make_shared<Pdf>(pdf, style, std::move(folder));
    if (!opened->pages.isOk())
        throw EngineError(ErrorNumber::OperationFailed, QStringLiteral("LibreOffice导出的PDF文件无法读取。"));
    m_format = pdfpages::formatName(style.format);
    m_pdf = std::move(opened);
}

Picture LoPagePictures::pictureOfPage(int page)
{
    if (!m_pdf || page < 1 || page > m_pdf->pages.pageCount())
        return {};
    Picture picture;
    picture.format = m_format;
    picture.pending = [pdf = m_pdf, page] {
        pdfpages::PagePicture written = pdf->pages.page(page);
        if (!written.error.isEmpty())
            throw EngineError(ErrorNumber::OperationFailed, written.error);
        return written.bytes;
    };
    return picture;
}

void LoPagePictures::close()
{
    m_pdf.reset();
}

} // namespace quillet::lo
