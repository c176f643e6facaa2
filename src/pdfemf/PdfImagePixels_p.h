#pragma once

// PDF images as pixels: samples through their colour maps, with their masks as alpha. Only the part
// of an image the page shows is decoded, row by row, and an image finer than the page can show is
// averaged down while it streams: at most kMaxGridSamples pixels are kept, whatever the image's size.

#include <cstdint>
#include <vector>

class GfxImageColorMap;
class Stream;

namespace quillet::pdfemf {

// Images of up to this many samples in view keep their own resolution; larger ones are drawn at
// kImageDpi of their size on the page, in at most kMaxGridSamples pixels.
constexpr int64_t kOwnSamples = 4 * 1024 * 1024;
constexpr int kImageDpi = 300;
constexpr int64_t kMaxGridSamples = 8 * 1024 * 1024;

// The part of an image a page shows and the grid of pixels it is drawn with.
struct ImageWindow
{
    int width = 0, height = 0;          // the image's samples
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // samples in view: [x0, x1) x [y0, y1), row 0 on top
    int gridWidth = 0, gridHeight = 0;
    double ctm[6] = {}; // maps the window's unit square onto the page
    bool empty() const { return x1 <= x0 || y1 <= y0 || gridWidth <= 0 || gridHeight <= 0; }
};

// The window of an image of width x height samples placed by `ctm` (device units at unitsPerInch)
// that lies in `visible` (left, top, right, bottom, device units).
ImageWindow imageWindow(const double* ctm, int width, int height, const double* visible, int unitsPerInch);
// The same part of a mask of another size, in no more pixels than the image's grid.
ImageWindow maskWindow(const ImageWindow& image, int width, int height);

// RGBA, 4 bytes a pixel, straight alpha, top row first.
struct PdfPixels
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool opaque = true;
};

// The window's pixels through the image's colour map; maskColors (pairs of min/max per component)
// makes matching samples transparent.
PdfPixels decodeImage(Stream* stream, GfxImageColorMap* colorMap, const int* maskColors,
                      const ImageWindow& window);
// One byte a pixel, 255 where a 1-bit mask paints.
std::vector<uint8_t> decodeStencil(Stream* stream, bool invert, const ImageWindow& window);
// One byte a pixel: a soft mask's alpha through its colour map.
std::vector<uint8_t> decodeSoftMask(Stream* stream, GfxImageColorMap* colorMap, const ImageWindow& window);
// Multiplies the pixels' alpha by a mask of another size (nearest pixel).
void applyAlpha(PdfPixels& pixels, const std::vector<uint8_t>& alpha, int alphaWidth, int alphaHeight);

} // namespace quillet::pdfemf
