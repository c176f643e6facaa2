#include "pdfpages/PagePictures.h"

#include "pdfpages/AsideThreads_p.h"
#include "pdfpages/PageWriters_p.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <future>
#include <map>
#include <mutex>
#include <thread>

namespace quillet::pdfpages {

namespace {

// Pages written ahead of the one asked for; each waits in memory until it is taken.
constexpr int kPagesAhead = 2;
// Pages finished aside (rasters compressed) at once, so that few rasters are alive: as many as there
// are aside threads.
const std::size_t kPagesAside = asideThreadCount();

PagePicture outOfMemory(int page)
{
    return {{}, QStringLiteral("第%1页无法生成图片：内存不足。").arg(page)};
}

std::shared_future<PagePicture> ready(PagePicture picture)
{
    std::promise<PagePicture> made;
    made.set_value(std::move(picture));
    return made.get_future().share();
}

} // namespace

QString formatName(PageFormat format)
{
    switch (format) {
    case PageFormat::Svg:
        return QStringLiteral("svg");
    case PageFormat::Png:
        return QStringLiteral("png");
    case PageFormat::Pdf:
        return QStringLiteral("pdf");
    case PageFormat::Emf:
        break;
    }
    return QStringLiteral("emf");
}

std::optional<PageFormat> formatNamed(const QString& name)
{
    for (PageFormat format : {PageFormat::Emf, PageFormat::Svg, PageFormat::Png, PageFormat::Pdf}) {
        if (formatName(format) == name)
            return format;
    }
    return std::nullopt;
}

// The writer on a thread of its own. Nothing is written before the first page is asked for, so
// pages before a chosen range cost nothing; then the asked page first, then up to kPagesAhead after
// it. Asked for a page it has not reached, it goes there next.
class PagePictures::Ahead
{
public:
    explicit Ahead(std::unique_ptr<PageWriter> writer)
        : m_writer(std::move(writer)), m_ok(m_writer->isOk()), m_count(m_ok ? m_writer->pageCount() : 0)
    {}

    ~Ahead()
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_stop = true;
            }
            m_changed.notify_all();
            m_thread.join();
        }
    }

    bool isOk() const { return m_ok; }
    int pageCount() const { return m_count; }

    PagePicture take(int page)
    {
        if (page < 1 || page > m_count)
            return {};
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
        m_wanted = page;
        m_done.erase(m_done.begin(), m_done.lower_bound(page));
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_done.count(page) != 0; });
        std::shared_future<PagePicture> picture = std::move(m_done[page]);
        m_done.erase(page);
        m_wanted = page + 1;
        m_changed.notify_all();
        lock.unlock();
        return picture.get();
    }

private:
    // The first page from the wanted one on that is neither written nor being written; 0 for none.
    int nextPage() const
    {
        for (int page = m_wanted; page >= 1 && page <= m_count && page < m_wanted + kPagesAhead + 1; ++page) {
            if (m_done.count(page) == 0)
                return page;
        }
        return 0;
    }

    // The rest of a page's work on an aside thread, with a bounded number of rasters alive: one page
    // finished aside per core.
    std::shared_future<PagePicture> sendAside(std::function<PagePicture()> rest, int page)
    {
        while (m_aside.size() >= kPagesAside) {
            m_aside.front().wait();
            m_aside.pop_front();
        }
        auto finish = [rest = std::move(rest), page]() mutable {
            PagePicture made;
            try {
                made = rest();
            } catch (const std::exception&) {
                made = outOfMemory(page);
            }
            rest = nullptr; // the raster goes now, not when the page is taken
            return made;
        };
        m_aside.push_back(finishAside(std::move(finish)));
        return m_aside.back();
    }

    void run()
    {
        runBehindTheOffice();
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            const int page = nextPage();
            if (page == 0) {
                m_changed.wait(lock);
                continue;
            }
            lock.unlock();
            std::shared_future<PagePicture> picture;
            try {
                WrittenPage written = m_writer->write(page);
                if (written.rest) {
                    picture = sendAside(std::move(written.rest), page);
                } else {
                    picture = ready(std::move(written.picture));
                }
            } catch (const std::exception&) { // out of memory for a raster, most likely
                picture = ready(outOfMemory(page));
            }
            lock.lock();
            m_done[page] = std::move(picture);
            m_changed.notify_all();
        }
    }

    std::unique_ptr<PageWriter> m_writer;
    const bool m_ok;
    const int m_count;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    int m_wanted = 0;
    bool m_stop = false;
    std::map<int, std::shared_future<PagePicture>> m_done; // written, or being finished aside
    std::deque<std::shared_future<PagePicture>> m_aside;   // the pages last sent to be finished aside
};

namespace {

std::unique_ptr<PageWriter> makeWriter(const QString& pdfPath, PageStyle style)
{
    switch (style.format) {
    case PageFormat::Svg:
    case PageFormat::Png:
        return makeCairoWriter(pdfPath, style.format, style.dpi);
    case PageFormat::Pdf:
        return makePdfPageWriter(pdfPath);
    case PageFormat::Emf:
        break;
    }
    return makeEmfWriter(pdfPath);
}

} // namespace

PagePictures::PagePictures(const QString& pdfPath, PageStyle style)
    : m_ahead(std::make_unique<Ahead>(makeWriter(pdfPath, style)))
{}

PagePictures::~PagePictures() = default;

bool PagePictures::isOk() const
{
    return m_ahead->isOk();
}

int PagePictures::pageCount() const
{
    return m_ahead->pageCount();
}

PagePicture PagePictures::page(int page)
{
    return m_ahead->take(page);
}

} // namespace quillet::pdfpages
