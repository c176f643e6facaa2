#include "pdfemf/PdfBackdrop_p.h"

#include <PDFDoc.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <splash/SplashBitmap.h>

namespace quillet::pdfemf {

namespace {

SplashColor white = {255, 255, 255, 255};

} // namespace

EmfRect backdropRegion(const EmfRect& rect, int unitsPerInch)
{
    const double scale = double(kBackdropDpi) / unitsPerInch;
    const auto units = [&](double pixels) { return int32_t(std::lround(pixels / scale)); };
    return {units(std::floor(rect.left * scale)), units(std::floor(rect.top * scale)),
            units(std::ceil(rect.right * scale)), units(std::ceil(rect.bottom * scale))};
}

PdfBackdrop::PdfBackdrop() : SplashOutputDev(splashModeRGB8, 4, false, white)
{
    // As pdftoppm draws pages.
    setFontAntialias(true);
    setVectorAntialias(true);
}

bool PdfBackdrop::render(PDFDoc& doc, int page, int unitsPerInch, std::vector<BackdropShot>& shots,
                         int events)
{
    if (shots.empty())
        return true;
    if (m_doc != &doc) {
        startDoc(&doc);
        m_doc = &doc;
    }
    m_scale = double(kBackdropDpi) / unitsPerInch;
    EmfRect all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const BackdropShot& shot : shots) {
        all.left = std::min(all.left, shot.region.left);
        all.top = std::min(all.top, shot.region.top);
        all.right = std::max(all.right, shot.region.right);
        all.bottom = std::max(all.bottom, shot.region.bottom);
    }
    m_sliceX = int(std::lround(all.left * m_scale));
    m_sliceY = int(std::lround(all.top * m_scale));
    const int width = int(std::lround(all.right * m_scale)) - m_sliceX;
    const int height = int(std::lround(all.bottom * m_scale)) - m_sliceY;
    m_shots = &shots;
    m_next = 0;
    m_events = 0;
    doc.displayPageSlice(this, page, kBackdropDpi, kBackdropDpi, 0, false, true, false, m_sliceX, m_sliceY,
                         std::max(width, 1), std::max(height, 1));
    m_shots = nullptr;
    if (m_events == events && m_next == shots.size())
        return true;
    for (BackdropShot& shot : shots)
        shot.bgr.clear();
    return false;
}

void PdfBackdrop::painted()
{
    ++m_events;
    for (; m_shots && m_next < m_shots->size() && (*m_shots)[m_next].event == m_events; ++m_next) {
        BackdropShot& shot = (*m_shots)[m_next];
        SplashBitmap* bitmap = getBitmap();
        const int x0 = int(std::lround(shot.region.left * m_scale)) - m_sliceX;
        const int y0 = int(std::lround(shot.region.top * m_scale)) - m_sliceY;
        shot.width = std::max(1, int(std::lround(shot.region.right * m_scale)) - m_sliceX - x0);
        shot.height = std::max(1, int(std::lround(shot.region.bottom * m_scale)) - m_sliceY - y0);
        shot.bgr.assign(size_t(shot.width) * shot.height * 3, 255);
        for (int y = 0; y < shot.height; ++y) {
            if (y0 + y < 0 || y0 + y >= bitmap->getHeight())
                continue;
            // Until the page ends the rasteriser keeps the paper apart: colours over an alpha plane.
            const unsigned char* row = bitmap->getDataPtr() + size_t(y0 + y) * bitmap->getRowSize();
            const unsigned char* alpha = bitmap->getAlphaPtr();
            uint8_t* out = shot.bgr.data() + size_t(y) * shot.width * 3;
            for (int x = 0; x < shot.width; ++x) {
                if (x0 + x < 0 || x0 + x >= bitmap->getWidth())
                    continue;
                const unsigned char* p = row + size_t(x0 + x) * 3;
                const int a = alpha ? alpha[size_t(y0 + y) * bitmap->getWidth() + x0 + x] : 255;
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = uint8_t((p[2 - c] * a + 255 * (255 - a) + 127) / 255);
            }
        }
    }
}

bool PdfBackdrop::enter()
{
    const bool outer = !m_busy;
    m_busy = true;
    return outer;
}

void PdfBackdrop::leave(bool outer)
{
    if (!outer)
        return;
    m_busy = false;
    painted();
}

void PdfBackdrop::stroke(GfxState* state)
{
    const bool outer = enter();
    SplashOutputDev::stroke(state);
    leave(outer);
}

void PdfBackdrop::fill(GfxState* state)
{
    const bool outer = enter();
    SplashOutputDev::fill(state);
    leave(outer);
}

void PdfBackdrop::eoFill(GfxState* state)
{
    const bool outer = enter();
    SplashOutputDev::eoFill(state);
    leave(outer);
}

bool PdfBackdrop::axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax)
{
    const bool outer = enter();
    const bool done = SplashOutputDev::axialShadedFill(state, shading, tMin, tMax);
    leave(outer);
    return done;
}

void PdfBackdrop::drawChar(GfxState* state, double x, double y, double dx, double dy, double originX,
                           double originY, CharCode code, int nBytes, const Unicode* u, int uLen)
{
    const bool outer = enter();
    SplashOutputDev::drawChar(state, x, y, dx, dy, originX, originY, code, nBytes, u, uLen);
    leave(outer);
}

void PdfBackdrop::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                                bool interpolate, bool inlineImg)
{
    const bool outer = enter();
    SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
    leave(outer);
}

void PdfBackdrop::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                            GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                            bool inlineImg)
{
    const bool outer = enter();
    SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
    leave(outer);
}

void PdfBackdrop::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                  GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                  int maskWidth, int maskHeight, bool maskInvert, bool maskInterpolate)
{
    const bool outer = enter();
    SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr,
                                     maskWidth, maskHeight, maskInvert, maskInterpolate);
    leave(outer);
}

void PdfBackdrop::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                      GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                      int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                                      bool maskInterpolate)
{
    const bool outer = enter();
    SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr,
                                         maskWidth, maskHeight, maskColorMap, maskInterpolate);
    leave(outer);
}

void PdfBackdrop::paintTransparencyGroup(GfxState* state, const double* bbox)
{
    const bool outer = enter();
    SplashOutputDev::paintTransparencyGroup(state, bbox);
    leave(outer);
}

} // namespace quillet::pdfemf
