#include "pdfemf/PdfImagePixels_p.h"

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

} // namespace quillet::pdfemf
