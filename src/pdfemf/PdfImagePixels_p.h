#pragma once

// PDF images as pixels: samples through their colour maps, with their masks as alpha.

#include <cstdint>
#include <vector>

class GfxImageColorMap;
class Stream;

namespace quillet::pdfemf {

// RGBA, 4 bytes a pixel, straight alpha, top row first.
struct PdfPixels
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool opaque = true;
};

// An image's samples through its colour map; maskColors (pairs of min/max per component) makes
// matching samples transparent.
PdfPixels decodeImage(Stream* stream, int width, int height, GfxImageColorMap* colorMap,
                      const int* maskColors);
// One byte a sample, 255 where a 1-bit mask paints.
std::vector<uint8_t> decodeStencil(Stream* stream, int width, int height, bool invert);
// One byte a sample: a soft mask's alpha through its colour map.
std::vector<uint8_t> decodeSoftMask(Stream* stream, int width, int height, GfxImageColorMap* colorMap);
// Multiplies the pixels' alpha by a mask of another size (nearest sample).
void applyAlpha(PdfPixels& pixels, const std::vector<uint8_t>& alpha, int alphaWidth, int alphaHeight);

} // namespace quillet::pdfemf
