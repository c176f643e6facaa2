#include "pdfemf/PdfImageDrawing_p.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillet::pdfemf {

namespace {

// RGBA pixels with straight alpha, top row first, seen through a constant opacity.
struct Grid
{
    int width = 0, height = 0;
    const uint8_t* rgba = nullptr;
    double opacity = 1;

    uint8_t alpha(size_t i) const
    {
        const uint8_t a = rgba[4 * i + 3];
        return opacity >= 1 ? a : uint8_t(std::lround(a * opacity));
    }
};

void writeGrid(EmfWriter& emf, const EmfRect& target, const Grid& grid)
{
    const size_t count = size_t(grid.width) * grid.height;
    bool opaque = true, binary = true;
    for (size_t i = 0; i < count && binary; ++i) {
        const uint8_t a = grid.alpha(i);
        opaque = opaque && a == 255;
        binary = a == 0 || a == 255;
    }
    if (binary && !opaque) {
        // Opaque pixels and transparent black ones: premultiplied, and the same taken as straight.
        std::vector<uint8_t> bgra(count * 4, 0);
        for (size_t i = 0; i < count; ++i) {
            if (grid.alpha(i) == 255) {
                const uint8_t* p = grid.rgba + 4 * i;
                bgra[4 * i] = p[2], bgra[4 * i + 1] = p[1], bgra[4 * i + 2] = p[0], bgra[4 * i + 3] = 255;
            }
        }
        emf.alphaBitmap(target, grid.width, grid.height, bgra);
        return;
    }
    // Translucent pixels as seen over white paper (what lies under them is the caller's to draw).
    std::vector<uint8_t> bgr(count * 3);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = grid.rgba + 4 * i;
        const unsigned a = opaque ? 255 : grid.alpha(i);
        for (int c = 0; c < 3; ++c)
            bgr[3 * i + c] = uint8_t((p[2 - c] * a + 255 * (255 - a) + 127) / 255);
    }
    emf.bitmap(target, grid.width, grid.height, bgr);
}

} // namespace

ImagePlace imagePlace(const double* m)
{
    // Unit square (u, v) -> device: (m0 u + m2 v + m4, m1 u + m3 v + m5).
    ImagePlace place;
    EmfFigure corners;
    for (const auto& [u, v] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}})
        corners.points.push_back(
            {roundedUnits(m[0] * u + m[2] * v + m[4]), roundedUnits(m[1] * u + m[3] * v + m[5])});
    corners.curve.assign(4, false);
    corners.closed = true;
    place.bounds = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const EmfPoint& p : corners.points) {
        place.bounds.left = std::min(place.bounds.left, p.x);
        place.bounds.top = std::min(place.bounds.top, p.y);
        place.bounds.right = std::max(place.bounds.right, p.x);
        place.bounds.bottom = std::max(place.bounds.bottom, p.y);
    }
    place.outline = {corners};
    return place;
}

bool partlyTransparent(const PdfPixels& pixels, double opacity)
{
    if (pixels.opaque)
        return opacity < 1;
    const Grid grid{pixels.width, pixels.height, pixels.rgba.data(), opacity};
    for (size_t i = 0, count = size_t(pixels.width) * pixels.height; i < count; ++i) {
        if (grid.alpha(i) != 0 && grid.alpha(i) != 255)
            return true;
    }
    return false;
}

void drawPixels(EmfWriter& emf, const double* m, const PdfPixels& pixels, double opacity)
{
    if (pixels.width <= 0 || pixels.height <= 0 || opacity <= 0)
        return;
    // Unit square (u, v) -> device: (m0 u + m2 v + m4, m1 u + m3 v + m5). Sample row 0 is v = 1.
    const double det = m[0] * m[3] - m[1] * m[2];
    if (std::abs(det) < 1e-9)
        return;
    double left = m[4], top = m[5], right = m[4], bottom = m[5];
    for (const auto& [u, v] : {std::pair{1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}}) {
        const double x = m[0] * u + m[2] * v + m[4], y = m[1] * u + m[3] * v + m[5];
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    const EmfRect target = imagePlace(m).bounds;
    if (target.right <= target.left || target.bottom <= target.top)
        return;
    // Output grid: the image's own samples, turned with the image; skewed images keep their density.
    const double scale = 1e-6 * std::max(std::abs(m[0]), std::abs(m[1])) + 1e-6;
    int outW, outH;
    bool skewed = false;
    if (std::abs(m[1]) < scale && std::abs(m[2]) < scale) {
        outW = pixels.width;
        outH = pixels.height;
        if (m[0] > 0 && m[3] < 0) {
            // Upright: the samples are the grid.
            writeGrid(emf, target, {outW, outH, pixels.rgba.data(), opacity});
            return;
        }
    } else if (std::abs(m[0]) < scale && std::abs(m[3]) < scale) {
        outW = pixels.height;
        outH = pixels.width;
    } else {
        skewed = true;
        const double unit = std::sqrt(std::abs(det) / (double(pixels.width) * pixels.height));
        outW = std::max(1, int(std::ceil((right - left) / unit)));
        outH = std::max(1, int(std::ceil((bottom - top) / unit)));
        const double excess = double(outW) * outH / double(kMaxGridSamples);
        if (excess > 1) {
            outW = std::max(1, int(outW / std::sqrt(excess)));
            outH = std::max(1, int(outH / std::sqrt(excess)));
        }
    }
    std::vector<uint8_t> out(size_t(outW) * outH * 4);
    const double inv[4] = {m[3] / det, -m[1] / det, -m[2] / det, m[0] / det};
    uint8_t* o = out.data();
    for (int j = 0; j < outH; ++j) {
        const double dy = top + (j + 0.5) * (bottom - top) / outH - m[5];
        for (int i = 0; i < outW; ++i, o += 4) {
            const double dx = left + (i + 0.5) * (right - left) / outW - m[4];
            const double u = inv[0] * dx + inv[2] * dy, v = inv[1] * dx + inv[3] * dy;
            int sx = int(std::floor(u * pixels.width)), sy = int(std::floor((1 - v) * pixels.height));
            if (!skewed) {
                // Rounding at the very edge of a turned image.
                sx = std::clamp(sx, 0, pixels.width - 1);
                sy = std::clamp(sy, 0, pixels.height - 1);
            } else if (sx < 0 || sy < 0 || sx >= pixels.width || sy >= pixels.height) {
                std::fill(o, o + 4, 0);
                continue;
            }
            std::copy_n(pixels.rgba.data() + (size_t(sy) * pixels.width + sx) * 4, 4, o);
        }
    }
    writeGrid(emf, target, {outW, outH, out.data(), opacity});
}

} // namespace quillet::pdfemf
