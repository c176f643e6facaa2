#include "pdfemf/PdfImagePixels_p.h"

#include <GfxState.h>
#include <Stream.h>
#include <algorithm>
#include <cmath>

namespace quillet::pdfemf {

namespace {

// Rows of a window averaged into its grid as they arrive: source column c of the window falls into
// grid column c * gridWidth / windowWidth, and rows likewise. With `weighted`, the last of the
// channels is alpha and the others are averaged in proportion to it, so that transparent samples
// lend no colour.
class GridRows
{
public:
    GridRows(const ImageWindow& window, int channels, bool weighted, uint8_t* out)
        : m_width(window.x1 - window.x0), m_height(window.y1 - window.y0), m_gridWidth(window.gridWidth),
          m_gridHeight(window.gridHeight), m_channels(channels), m_weighted(weighted), m_out(out),
          m_sums(size_t(m_gridWidth) * channels), m_counts(size_t(m_gridWidth))
    {}

    void add(const uint8_t* values)
    {
        if (m_gridWidth == m_width && m_gridHeight == m_height) {
            std::copy_n(values, size_t(m_width) * m_channels, m_out + size_t(m_row++) * m_width * m_channels);
            return;
        }
        const int gy = int(int64_t(m_row) * m_gridHeight / m_height);
        if (gy != m_gridRow)
            flush();
        m_gridRow = gy;
        for (int x = 0; x < m_width; ++x) {
            const size_t gx = size_t(int64_t(x) * m_gridWidth / m_width);
            const uint8_t* v = values + size_t(x) * m_channels;
            const uint32_t weight = m_weighted ? v[m_channels - 1] : 1;
            for (int c = 0; c < m_channels; ++c)
                m_sums[gx * m_channels + c] += (m_weighted && c < m_channels - 1) ? v[c] * weight : v[c];
            m_counts[gx] += 1;
        }
        ++m_row;
    }

    void finish()
    {
        if (m_gridWidth != m_width || m_gridHeight != m_height)
            flush();
    }

private:
    void flush()
    {
        if (m_gridRow < 0)
            return;
        uint8_t* row = m_out + size_t(m_gridRow) * m_gridWidth * m_channels;
        for (size_t gx = 0; gx < size_t(m_gridWidth); ++gx) {
            const uint64_t n = std::max<uint64_t>(m_counts[gx], 1);
            const uint64_t alphaSum = m_sums[gx * m_channels + m_channels - 1];
            for (int c = 0; c < m_channels; ++c) {
                const uint64_t sum = m_sums[gx * m_channels + c];
                const bool colour = m_weighted && c < m_channels - 1;
                row[gx * m_channels + c] =
                    uint8_t(colour ? (alphaSum ? (sum + alphaSum / 2) / alphaSum : 0) : (sum + n / 2) / n);
            }
        }
        std::fill(m_sums.begin(), m_sums.end(), 0);
        std::fill(m_counts.begin(), m_counts.end(), 0);
    }

    int m_width, m_height, m_gridWidth, m_gridHeight, m_channels;
    bool m_weighted;
    uint8_t* m_out;
    std::vector<uint64_t> m_sums;
    std::vector<uint32_t> m_counts;
    int m_row = 0, m_gridRow = -1;
};

// Hands each row of the window's samples (unpacked, a byte a component) to `row`; false when the
// stream ends early.
template <typename Row>
bool forWindowRows(Stream* stream, int components, int bits, const ImageWindow& window, Row row)
{
    ImageStream image(stream, window.width, components, bits);
    image.reset();
    bool whole = true;
    for (int y = 0; y < window.y1; ++y) {
        unsigned char* line = image.getLine();
        whole = whole && line;
        if (y >= window.y0)
            row(line ? line + size_t(window.x0) * components : nullptr);
    }
    image.close();
    return whole;
}

} // namespace

ImageWindow imageWindow(const double* m, int width, int height, const double* visible, int unitsPerInch)
{
    ImageWindow window;
    const double det = m[0] * m[3] - m[1] * m[2];
    if (width <= 0 || height <= 0 || std::abs(det) < 1e-9)
        return window;
    window.width = width;
    window.height = height;
    // The unit square's part in view: the visible rectangle's corners in (u, v).
    double u0 = 1, u1 = 0, v0 = 1, v1 = 0;
    for (const auto& [x, y] : {std::pair{visible[0], visible[1]},
                               {visible[2], visible[1]},
                               {visible[0], visible[3]},
                               {visible[2], visible[3]}}) {
        const double dx = x - m[4], dy = y - m[5];
        const double u = (m[3] * dx - m[2] * dy) / det, v = (m[0] * dy - m[1] * dx) / det;
        u0 = std::min(u0, u), u1 = std::max(u1, u), v0 = std::min(v0, v), v1 = std::max(v1, v);
    }
    // Sample row 0 is v = 1.
    window.x0 = std::clamp(int(std::floor(std::max(u0, 0.0) * width)), 0, width);
    window.x1 = std::clamp(int(std::ceil(std::min(u1, 1.0) * width)), 0, width);
    window.y0 = std::clamp(int(std::floor((1 - std::min(v1, 1.0)) * height)), 0, height);
    window.y1 = std::clamp(int(std::ceil((1 - std::max(v0, 0.0)) * height)), 0, height);
    const int columns = window.x1 - window.x0, rows = window.y1 - window.y0;
    if (columns <= 0 || rows <= 0)
        return window;
    window.gridWidth = columns;
    window.gridHeight = rows;
    if (int64_t(columns) * rows > kOwnSamples) {
        // The window's size on the page, in inches along each of the image's axes.
        const double across = std::hypot(m[0], m[1]) * columns / width / unitsPerInch;
        const double down = std::hypot(m[2], m[3]) * rows / height / unitsPerInch;
        window.gridWidth = std::clamp(int(std::ceil(across * kImageDpi)), 1, columns);
        window.gridHeight = std::clamp(int(std::ceil(down * kImageDpi)), 1, rows);
        const double excess = double(window.gridWidth) * window.gridHeight / double(kMaxGridSamples);
        if (excess > 1) {
            window.gridWidth = std::max(1, int(window.gridWidth / std::sqrt(excess)));
            window.gridHeight = std::max(1, int(window.gridHeight / std::sqrt(excess)));
        }
    }
    const double su = double(columns) / width, sv = double(rows) / height;
    const double u = double(window.x0) / width, v = double(height - window.y1) / height;
    const double placed[6] = {
        m[0] * su, m[1] * su, m[2] * sv, m[3] * sv, m[4] + m[0] * u + m[2] * v, m[5] + m[1] * u + m[3] * v};
    std::copy_n(placed, 6, window.ctm);
    return window;
}

ImageWindow maskWindow(const ImageWindow& image, int width, int height)
{
    ImageWindow mask = image;
    mask.width = width;
    mask.height = height;
    mask.x0 = int(int64_t(image.x0) * width / std::max(image.width, 1));
    mask.y0 = int(int64_t(image.y0) * height / std::max(image.height, 1));
    mask.x1 =
        std::max(mask.x0 + 1, int((int64_t(image.x1) * width + image.width - 1) / std::max(image.width, 1)));
    mask.y1 = std::max(mask.y0 + 1,
                       int((int64_t(image.y1) * height + image.height - 1) / std::max(image.height, 1)));
    mask.x1 = std::min(mask.x1, width);
    mask.y1 = std::min(mask.y1, height);
    mask.gridWidth = std::min(image.gridWidth, mask.x1 - mask.x0);
    mask.gridHeight = std::min(image.gridHeight, mask.y1 - mask.y0);
    return mask;
}

PdfPixels decodeImage(Stream* stream, GfxImageColorMap* colorMap, const int* maskColors,
                      const ImageWindow& window)
{
    PdfPixels out;
    if (window.empty() || !colorMap || !colorMap->isOk())
        return out;
    const int comps = colorMap->getNumPixelComps(), columns = window.x1 - window.x0;
    out.width = window.gridWidth;
    out.height = window.gridHeight;
    out.rgba.resize(size_t(out.width) * out.height * 4);
    GridRows grid(window, 4, maskColors != nullptr, out.rgba.data());
    std::vector<unsigned char> rgb(size_t(columns) * 3), rgba(size_t(columns) * 4);
    const bool whole =
        forWindowRows(stream, comps, colorMap->getBits(), window, [&](const unsigned char* line) {
            if (!line) {
                std::fill(rgba.begin(), rgba.end(), 0);
            } else {
                colorMap->getRGBLine(const_cast<unsigned char*>(line), rgb.data(), columns);
                for (int x = 0; x < columns; ++x) {
                    std::copy_n(rgb.data() + 3 * x, 3, rgba.data() + 4 * x);
                    bool keyed = maskColors != nullptr;
                    for (int c = 0; keyed && c < comps; ++c) {
                        const int v = line[x * comps + c];
                        keyed = v >= maskColors[2 * c] && v <= maskColors[2 * c + 1];
                    }
                    rgba[4 * x + 3] = keyed ? 0 : 255;
                    out.opaque = out.opaque && !keyed;
                }
            }
            grid.add(rgba.data());
        });
    grid.finish();
    out.opaque = out.opaque && whole;
    return out;
}

std::vector<uint8_t> decodeStencil(Stream* stream, bool invert, const ImageWindow& window)
{
    if (window.empty())
        return {};
    std::vector<uint8_t> alpha(size_t(window.gridWidth) * window.gridHeight, 0);
    GridRows grid(window, 1, false, alpha.data());
    std::vector<uint8_t> row(size_t(window.x1 - window.x0));
    forWindowRows(stream, 1, 1, window, [&](const unsigned char* line) {
        for (size_t x = 0; x < row.size(); ++x)
            row[x] = line && ((line[x] ^ unsigned(invert)) & 1) == 0 ? 255 : 0;
        grid.add(row.data());
    });
    grid.finish();
    return alpha;
}

std::vector<uint8_t> decodeSoftMask(Stream* stream, GfxImageColorMap* colorMap, const ImageWindow& window)
{
    if (window.empty() || !colorMap || !colorMap->isOk())
        return {};
    std::vector<uint8_t> alpha(size_t(window.gridWidth) * window.gridHeight, 0);
    GridRows grid(window, 1, false, alpha.data());
    std::vector<uint8_t> row(size_t(window.x1 - window.x0));
    forWindowRows(
        stream, colorMap->getNumPixelComps(), colorMap->getBits(), window, [&](const unsigned char* line) {
            if (line)
                colorMap->getGrayLine(const_cast<unsigned char*>(line), row.data(), int(row.size()));
            else
                std::fill(row.begin(), row.end(), 0);
            grid.add(row.data());
        });
    grid.finish();
    return alpha;
}

void applyAlpha(PdfPixels& pixels, const std::vector<uint8_t>& alpha, int alphaWidth, int alphaHeight)
{
    if (alpha.size() != size_t(alphaWidth) * alphaHeight || alpha.empty())
        return;
    for (int y = 0; y < pixels.height; ++y) {
        const int ay = int(int64_t(y) * alphaHeight / pixels.height);
        for (int x = 0; x < pixels.width; ++x) {
            const int ax = int(int64_t(x) * alphaWidth / pixels.width);
            uint8_t& a = pixels.rgba[(size_t(y) * pixels.width + x) * 4 + 3];
            a = uint8_t(a * alpha[size_t(ay) * alphaWidth + ax] / 255);
            pixels.opaque = pixels.opaque && a == 255;
        }
    }
}

} // namespace quillet::pdfemf
