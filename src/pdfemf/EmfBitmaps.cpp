#include "pdfemf/EmfWriterRecord_p.h"

#include <algorithm>

namespace quillet::pdfemf {

namespace {

constexpr int32_t kCell = 90; // a sixteenth of an inch

} // namespace

DrawnArea::DrawnArea(int32_t width, int32_t height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_columns(m_width / kCell + 1),
      m_cells(size_t(m_columns) * size_t(m_height / kCell + 1), false)
{}

template <typename Visit> bool DrawnArea::forCells(const EmfRect& rect, Visit visit) const
{
    if (rect.right < 0 || rect.bottom < 0 || rect.left >= m_width || rect.top >= m_height)
        return false;
    const auto cell = [](int32_t v, int32_t size) { return std::clamp(v, 0, size - 1) / kCell; };
    for (int32_t y = cell(rect.top, m_height); y <= cell(rect.bottom, m_height); ++y) {
        for (int32_t x = cell(rect.left, m_width); x <= cell(rect.right, m_width); ++x) {
            if (visit(size_t(y) * m_columns + x))
                return true;
        }
    }
    return false;
}

void DrawnArea::mark(const EmfRect& rect)
{
    forCells(rect, [this](size_t i) {
        m_cells[i] = true;
        return false;
    });
}

bool DrawnArea::touches(const EmfRect& rect) const
{
    return forCells(rect, [this](size_t i) { return bool(m_cells[i]); });
}

void EmfWriter::appendBitmap(uint32_t type, const Record& fields, int width, int height, int bytesPerPixel,
                             const uint8_t* pixels)
{
    // Written in place: a page-sized bitmap is copied once, from the caller's pixels into the file.
    const qsizetype stride = (qsizetype(width) * bytesPerPixel + 3) & ~qsizetype(3);
    const qsizetype rows = stride * height;
    const qsizetype size = fields.size() + 40 + rows;
    m_data.reserve(m_data.size() + size);
    char head[8];
    qToLittleEndian<uint32_t>(type, head);
    qToLittleEndian<uint32_t>(uint32_t(size), head + 4);
    m_data.append(head, 8);
    m_data.append(fields.body());
    // BITMAPINFOHEADER of a bottom-up DIB, uncompressed.
    char info[40] = {};
    qToLittleEndian<uint32_t>(40, info);
    qToLittleEndian<int32_t>(width, info + 4);
    qToLittleEndian<int32_t>(height, info + 8);
    qToLittleEndian<uint16_t>(1, info + 12);
    qToLittleEndian<uint16_t>(uint16_t(bytesPerPixel * 8), info + 14);
    m_data.append(info, 40);
    const qsizetype rowBytes = qsizetype(width) * bytesPerPixel;
    for (int y = height - 1; y >= 0; --y) {
        m_data.append(reinterpret_cast<const char*>(pixels) + y * rowBytes, rowBytes);
        m_data.append(stride - rowBytes, '\0');
    }
    ++m_records;
}

void EmfWriter::bitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgr)
{
    const uint32_t infoOffset = 80;
    Record fields(EMR_STRETCHDIBITS);
    fields.rect(target).i32(target.left).i32(target.top).i32(0).i32(0).i32(width).i32(height);
    fields.u32(infoOffset).u32(40).u32(infoOffset + 40).u32(uint32_t(((width * 3 + 3) & ~3) * height));
    fields.u32(0 /*DIB_RGB_COLORS*/).u32(0x00CC0020 /*SRCCOPY*/);
    fields.i32(target.right - target.left).i32(target.bottom - target.top);
    appendBitmap(EMR_STRETCHDIBITS, fields, width, height, 3, bgr.data());
    markDrawn(target);
}

void EmfWriter::alphaBitmap(const EmfRect& target, int width, int height, const std::vector<uint8_t>& bgra)
{
    const uint32_t infoOffset = 108;
    Record fields(EMR_ALPHABLEND);
    fields.rect(target).i32(target.left).i32(target.top);
    fields.i32(target.right - target.left).i32(target.bottom - target.top);
    fields.u32(0x01FF0000); // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA
    fields.i32(0).i32(0);
    fields.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0); // source transform: identity
    fields.u32(0).u32(0 /*DIB_RGB_COLORS*/);
    fields.u32(infoOffset).u32(40).u32(infoOffset + 40).u32(uint32_t(width * 4 * height));
    fields.i32(width).i32(height);
    appendBitmap(EMR_ALPHABLEND, fields, width, height, 4, bgra.data());
    markDrawn(target);
}

} // namespace quillet::pdfemf
