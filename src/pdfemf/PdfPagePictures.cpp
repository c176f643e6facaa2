#include "pdfemf/PdfPageEmf_p.h"

#include <GfxState.h>
#include <algorithm>

namespace quillet::pdfemf {

void PdfPageEmf::drawImagePixels(GfxState* state, const ImageWindow& window, const PdfPixels& pixels)
{
    if (pixels.width == 0)
        return;
    flushText();
    const double opacity = paintOpacity(state, false);
    if (partlyTransparent(pixels, opacity)) {
        const ImagePlace place = imagePlace(state->getCTM());
        const EmfRect region = clippedRegion(state, place.bounds);
        if (wantsPicture(region)) {
            drawPicture(region, place.outline, true);
            return;
        }
    }
    drawPixels(*m_emf, window.ctm, pixels, opacity);
}

ImageWindow PdfPageEmf::imageWanted(GfxState* state, int width, int height)
{
    ++m_event;
    if (!painting() || paintOpacity(state, false) <= 0)
        return {};
    if (hasPicture()) {
        // The picture of the page takes the image's place: no need to decode it again.
        const ImagePlace place = imagePlace(state->getCTM());
        drawPicture(clippedRegion(state, place.bounds), place.outline, true);
        return {};
    }
    double visible[4];
    state->getClipBBox(&visible[0], &visible[1], &visible[2], &visible[3]);
    visible[0] = std::max(visible[0], 0.0);
    visible[1] = std::max(visible[1], 0.0);
    visible[2] = std::min(visible[2], state->getPageWidth());
    visible[3] = std::min(visible[3], state->getPageHeight());
    return imageWindow(state->getCTM(), width, height, visible, UnitsPerInch);
}

void PdfPageEmf::drawImageMask(GfxState* state, Object*, Stream* str, int width, int height, bool invert,
                               bool, bool)
{
    const ImageWindow window = imageWanted(state, width, height);
    if (window.empty())
        return;
    const std::vector<uint8_t> mask = decodeStencil(str, invert, window);
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    PdfPixels pixels;
    pixels.width = window.gridWidth;
    pixels.height = window.gridHeight;
    pixels.rgba.resize(mask.size() * 4);
    for (size_t i = 0; i < mask.size(); ++i) {
        pixels.rgba[4 * i] = colToByte(rgb.r);
        pixels.rgba[4 * i + 1] = colToByte(rgb.g);
        pixels.rgba[4 * i + 2] = colToByte(rgb.b);
        pixels.rgba[4 * i + 3] = mask[i];
    }
    pixels.opaque = false;
    drawImagePixels(state, window, pixels);
}

void PdfPageEmf::drawImage(GfxState* state, Object*, Stream* str, int width, int height,
                           GfxImageColorMap* colorMap, bool, const int* maskColors, bool)
{
    const ImageWindow window = imageWanted(state, width, height);
    if (!window.empty())
        drawImagePixels(state, window, decodeImage(str, colorMap, maskColors, window));
}

void PdfPageEmf::drawMaskedImage(GfxState* state, Object*, Stream* str, int width, int height,
                                 GfxImageColorMap* colorMap, bool, Stream* maskStr, int maskWidth,
                                 int maskHeight, bool maskInvert, bool)
{
    const ImageWindow window = imageWanted(state, width, height);
    if (window.empty())
        return;
    PdfPixels pixels = decodeImage(str, colorMap, nullptr, window);
    const ImageWindow mask = maskWindow(window, maskWidth, maskHeight);
    applyAlpha(pixels, decodeStencil(maskStr, maskInvert, mask), mask.gridWidth, mask.gridHeight);
    drawImagePixels(state, window, pixels);
}

void PdfPageEmf::drawSoftMaskedImage(GfxState* state, Object*, Stream* str, int width, int height,
                                     GfxImageColorMap* colorMap, bool, Stream* maskStr, int maskWidth,
                                     int maskHeight, GfxImageColorMap* maskColorMap, bool)
{
    const ImageWindow window = imageWanted(state, width, height);
    if (window.empty())
        return;
    PdfPixels pixels = decodeImage(str, colorMap, nullptr, window);
    const ImageWindow mask = maskWindow(window, maskWidth, maskHeight);
    applyAlpha(pixels, decodeSoftMask(maskStr, maskColorMap, mask), mask.gridWidth, mask.gridHeight);
    drawImagePixels(state, window, pixels);
}

EmfRect PdfPageEmf::clippedRegion(GfxState* state, const EmfRect& bounds) const
{
    double x0, y0, x1, y1;
    state->getClipBBox(&x0, &y0, &x1, &y1);
    const EmfRect clipped{std::max(bounds.left, roundedUnits(x0)), std::max(bounds.top, roundedUnits(y0)),
                          std::min(bounds.right, roundedUnits(x1)),
                          std::min(bounds.bottom, roundedUnits(y1))};
    return backdropRegion(clipped, UnitsPerInch);
}

bool PdfPageEmf::wantsPicture(const EmfRect& region) const
{
    // Inside a group the rasteriser draws into the group's own bitmap, not the page: no picture.
    return m_backdrops != Backdrops::Off && m_groups.empty() && region.right > region.left &&
           region.bottom > region.top && m_emf->drawnIn(region);
}

bool PdfPageEmf::hasPicture() const
{
    if (m_backdrops != Backdrops::Draw)
        return false;
    size_t next = m_nextShot;
    while (next < m_shots.size() && m_shots[next].event < m_event)
        ++next;
    return next < m_shots.size() && m_shots[next].event == m_event && !m_shots[next].bgr.empty();
}

void PdfPageEmf::drawPicture(const EmfRect& region, const EmfPath& area, bool winding)
{
    flushText();
    if (m_backdrops == Backdrops::Collect)
        m_shots.push_back({m_event, region});
    while (m_nextShot < m_shots.size() && m_shots[m_nextShot].event < m_event)
        ++m_nextShot;
    if (m_backdrops == Backdrops::Draw && hasPicture()) {
        const BackdropShot& shot = m_shots[m_nextShot];
        m_emf->saveDC();
        if (!area.empty())
            m_emf->clipPath(area, winding);
        m_emf->bitmap(shot.region, shot.width, shot.height, shot.bgr);
        m_emf->restoreDC();
    }
    // Both writings of the page must see the same drawn area, pictures or not.
    m_emf->markDrawn(region);
}

} // namespace quillet::pdfemf
