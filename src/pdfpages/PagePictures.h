#pragma once

// Pictures of a PDF's pages in the format the user chose: EMF from our own writer (src/pdfemf), SVG
// and PNG through poppler's cairo rendering, PDF as each page saved as a document of its own. The
// office exports a document to PDF once; every page picture is made from that file in process.
//
// Pages after the one asked for are written ahead on a thread of their own, while the office walks
// to the next page, so that rasterising and compressing overlap the office's work; a raster is
// compressed on an aside thread while the next page is rasterised.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace quillet::pdfpages {

enum class PageFormat
{
    Emf,
    Svg,
    Png,
    Pdf
};

// The format's name is also its file extension: "emf", "svg", "png", "pdf".
QString formatName(PageFormat format);
std::optional<PageFormat> formatNamed(const QString& name);

constexpr int kDefaultDpi = 150;
constexpr int kMinDpi = 36;
constexpr int kMaxDpi = 1200;

struct PageStyle
{
    PageFormat format = PageFormat::Emf;
    int dpi = kDefaultDpi; // PNG only
};

// One page's picture, or why there is none.
struct PagePicture
{
    QByteArray bytes; // empty with an empty error: the PDF has no such page
    QString error;    // why the page could not be written (Chinese, for the log)
};

class PagePictures
{
public:
    // Opens the PDF at `pdfPath`. A PDF format page is written to a file beside it first.
    PagePictures(const QString& pdfPath, PageStyle style);
    ~PagePictures();
    PagePictures(const PagePictures&) = delete;
    PagePictures& operator=(const PagePictures&) = delete;

    // False when the file is missing, damaged or cannot be opened without a password.
    bool isOk() const;
    int pageCount() const;
    // Page `page` (from 1), waiting for it if it is being written.
    PagePicture page(int page);

private:
    class Ahead;
    std::unique_ptr<Ahead> m_ahead;
};

} // namespace quillet::pdfpages
