#include "pdfpages/PageRasters_p.h"

#include <mutex>
#include <new>
#include <vector>

namespace quillet::pdfpages {

namespace {

constexpr std::size_t kKeptBuffers = 4;
constexpr std::size_t kKeptBytes = 64 * 1024 * 1024;

struct Buffer
{
    std::size_t bytes;
    unsigned char* data;
};

std::mutex keptMutex;
std::vector<Buffer> kept;
std::size_t keptBytes = 0;

// QImage's cleanup, when the last copy of a raster goes: from any thread.
void giveBack(void* info)
{
    auto* buffer = static_cast<Buffer*>(info);
    {
        const std::lock_guard lock(keptMutex);
        if (kept.size() < kKeptBuffers && keptBytes + buffer->bytes <= kKeptBytes) {
            kept.push_back(*buffer);
            keptBytes += buffer->bytes;
            buffer->data = nullptr;
        }
    }
    delete[] buffer->data;
    delete buffer;
}

unsigned char* takeKept(std::size_t bytes)
{
    const std::lock_guard lock(keptMutex);
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->bytes == bytes) {
            unsigned char* data = it->data;
            keptBytes -= bytes;
            kept.erase(it);
            return data;
        }
    }
    return nullptr;
}

} // namespace

QImage pageRaster(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(height);
    unsigned char* data = takeKept(bytes);
    if (!data)
        data = new (std::nothrow) unsigned char[bytes];
    auto* buffer = data ? new (std::nothrow) Buffer{bytes, data} : nullptr;
    if (!buffer) {
        delete[] data;
        return {};
    }
    return QImage(data, width, height, bytesPerLine, QImage::Format_RGB32, giveBack, buffer);
}

} // namespace quillet::pdfpages
