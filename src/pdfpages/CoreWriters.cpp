#include "pdfemf/PdfEmf.h"
#include "pdfpages/PageWriters_p.h"

#include <QFile>

namespace quillet::pdfpages {

namespace {

class EmfWriter : public PageWriter
{
public:
    explicit EmfWriter(const QString& pdfPath) : m_document(pdfPath) {}
    bool isOk() const override { return m_document.isOk(); }
    int pageCount() const override { return m_document.pageCount(); }
    WrittenPage write(int page) override { return {{pdfemf::emfOfPdfPage(m_document, page), {}}, {}}; }

private:
    pdfemf::PdfDocument m_document;
};

class PdfPageWriter : public PageWriter
{
public:
    explicit PdfPageWriter(const QString& pdfPath)
        : m_document(pdfPath), m_pagePath(pdfPath + QStringLiteral(".page.pdf"))
    {}
    bool isOk() const override { return m_document.isOk(); }
    int pageCount() const override { return m_document.pageCount(); }
    WrittenPage write(int page) override
    {
        PagePicture picture;
        QFile file(m_pagePath);
        if (!pdfemf::savePdfPage(m_document, page, m_pagePath) || !file.open(QIODevice::ReadOnly))
            picture.error = QStringLiteral("第%1页无法保存为PDF文件。").arg(page);
        else
            picture.bytes = file.readAll();
        file.remove();
        return {picture, {}};
    }

private:
    pdfemf::PdfDocument m_document;
    QString m_pagePath;
};

} // namespace

std::unique_ptr<PageWriter> makeEmfWriter(const QString& pdfPath)
{
    return std::make_unique<EmfWriter>(pdfPath);
}

std::unique_ptr<PageWriter> makePdfPageWriter(const QString& pdfPath)
{
    return std::make_unique<PdfPageWriter>(pdfPath);
}

} // namespace quillet::pdfpages
