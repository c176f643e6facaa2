#include "pdfemf/PdfImagePixels_p.h"

#include "pdfemf/EmfWriter_p.h"

#include <GfxState.h>
#include <Stream.h>
#include <algorithm>
#include <cmath>
#include <memory>

namespace quillet::pdfemf {

namespace {

constexpr int64_t MaxSamples = 64 * 1024 * 1024;

bool sane(int width, int height)
{
    return width > 0 && height > 0 && int64_t(width) * height <= MaxSamples;
}

} // namespace

PdfPixels decodeImage(Stream* stream, int width, int height, GfxImageColorMap* colorMap,
                      const int* maskColors)
{
    PdfPixels out;
    if (!sane(width, height) || !colorMap || !colorMap->isOk())
        return out;
    const int comps = colorMap->getNumPixelComps();
    ImageStream image(stream, width, comps, colorMap->getBits());
    image.reset();
    out.width = width;
    out.height = height;
    out.rgba.resize(size_t(width) * height * 4);
    std::vector<unsigned char> rgb(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        unsigned char* line = image.getLine();
        uint8_t* row = out.rgba.data() + size_t(y) * width * 4;
        if (!line) {
            std::fill(row, row + size_t(width) * 4, 0);
            out.opaque = false;
            continue;
        }
        colorMap->getRGBLine(line, rgb.data(), width);
        for (int x = 0; x < width; ++x) {
            row[4 * x] = rgb[3 * x];
            row[4 * x + 1] = rgb[3 * x + 1];
            row[4 * x + 2] = rgb[3 * x + 2];
            bool keyed = maskColors != nullptr;
            for (int c = 0; keyed && c < comps; ++c) {
                const int v = line[x * comps + c];
                keyed = v >= maskColors[2 * c] && v <= maskColors[2 * c + 1];
            }
            row[4 * x + 3] = keyed ? 0 : 255;
            out.opaque = out.opaque && !keyed;
        }
    }
    image.close();
    return out;
}

std::vector<uint8_t> decodeStencil(Stream* stream, int width, int height, bool invert)
{
    if (!sane(width, height))
        return {};
    ImageStream image(stream, width, 1, 1);
    image.reset();
    std::vector<uint8_t> alpha(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* line = image.getLine();
        if (!line)
            break;
        for (int x = 0; x < width; ++x)
            alpha[size_t(y) * width + x] = ((line[x] ^ unsigned(invert)) & 1) == 0 ? 255 : 0;
    }
    image.close();
    return alpha;
}

std::vector<uint8_t> decodeSoftMask(Stream* stream, int width, int height, GfxImageColorMap* colorMap)
{
    if (!sane(width, height) || !colorMap || !colorMap->isOk())
        return {};
    ImageStream image(stream, width, colorMap->getNumPixelComps(), colorMap->getBits());
    image.reset();
    std::vector<uint8_t> alpha(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* line = image.getLine();
        if (!line)
            break;
        colorMap->getGrayLine(line, alpha.data() + size_t(y) * width, width);
    }
    image.close();
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

void drawPixels(EmfWriter& emf, const double* m, const PdfPixels& pixels)
{
    if (pixels.width <= 0 || pixels.height <= 0)
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
    const EmfRect target{int32_t(std::lround(left)), int32_t(std::lround(top)), int32_t(std::lround(right)),
                         int32_t(std::lround(bottom))};
    if (target.right <= target.left || target.bottom <= target.top)
        return;
    // Output grid: the image's own samples, turned with the image; skewed images keep their density.
    const double scale = 1e-6 * std::max(std::abs(m[0]), std::abs(m[1])) + 1e-6;
    int outW, outH;
    bool skewed = false;
    if (std::abs(m[1]) < scale && std::abs(m[2]) < scale) {
        outW = pixels.width;
        outH = pixels.height;
    } else if (std::abs(m[0]) < scale && std::abs(m[3]) < scale) {
        outW = pixels.height;
        outH = pixels.width;
    } else {
        skewed = true;
        const double unit = std::sqrt(std::abs(det) / (double(pixels.width) * pixels.height));
        outW =
            std::clamp(int(std::ceil((right - left) / unit)), 1, 2 * std::max(pixels.width, pixels.height));
        outH =
            std::clamp(int(std::ceil((bottom - top) / unit)), 1, 2 * std::max(pixels.width, pixels.height));
    }
    const bool alpha = skewed || !pixels.opaque;
    std::vector<uint8_t> out(size_t(outW) * outH * (alpha ? 4 : 3));
    const double inv[4] = {m[3] / det, -m[1] / det, -m[2] / det, m[0] / det};
    uint8_t* o = out.data();
    for (int j = 0; j < outH; ++j) {
        const double dy = top + (j + 0.5) * (bottom - top) / outH - m[5];
        for (int i = 0; i < outW; ++i) {
            const double dx = left + (i + 0.5) * (right - left) / outW - m[4];
            const double u = inv[0] * dx + inv[2] * dy, v = inv[1] * dx + inv[3] * dy;
            const int sx = int(std::floor(u * pixels.width)), sy = int(std::floor((1 - v) * pixels.height));
            uint8_t r = 0, g = 0, b = 0, a = 0;
            if (sx >= 0 && sy >= 0 && sx < pixels.width && sy < pixels.height) {
                const uint8_t* p = pixels.rgba.data() + (size_t(sy) * pixels.width + sx) * 4;
                r = p[0], g = p[1], b = p[2], a = p[3];
            } else if (!alpha) {
                r = g = b = 255; // rounding at the very edge of an opaque image
            }
            *o++ = b;
            *o++ = g;
            *o++ = r;
            if (alpha)
                *o++ = a;
        }
    }
    if (alpha)
        emf.alphaBitmap(target, outW, outH, out);
    else
        emf.bitmap(target, outW, outH, out);
}

} // namespace quillet::pdfemf
