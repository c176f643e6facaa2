#include "pdfemf/PdfPageEmf_p.h"

#include "pdfemf/PdfFontFace_p.h"
#include "pdfemf/PdfStrokes_p.h"

#include <GfxFont.h>
#include <GfxState.h>
#include <UTF.h>
#include <XRef.h>
#include <goo/gmem.h>
#include <algorithm>
#include <cmath>
#include <optional>

namespace quillet::pdfemf {

namespace {

EmfColor colorOf(const GfxRGB& rgb)
{
    return emfRgb(colToByte(rgb.r), colToByte(rgb.g), colToByte(rgb.b));
}

// The codes a ToUnicode map gives text for: the sources of its bfchar and bfrange entries.
std::vector<std::pair<uint32_t, uint32_t>> codesWithText(const QByteArray& map)
{
    std::vector<std::pair<uint32_t, uint32_t>> codes;
    for (const QByteArray& kind : {QByteArray("bfchar"), QByteArray("bfrange")}) {
        const size_t fields = kind == "bfchar" ? 2 : 3; // source, text; or first, last, text(s)
        for (qsizetype at = 0; (at = map.indexOf("begin" + kind, at)) >= 0;) {
            const qsizetype end = map.indexOf("end" + kind, at);
            if (end < 0)
                break;
            std::vector<uint32_t> values; // hex strings; an array of them counts as one
            for (qsizetype i = at; i < end; ++i) {
                if (map[i] == '[') {
                    i = map.indexOf(']', i);
                    values.push_back(0);
                    if (i < 0 || i > end)
                        break;
                } else if (map[i] == '<') {
                    const qsizetype close = map.indexOf('>', i);
                    values.push_back(map.mid(i + 1, close - i - 1).toUInt(nullptr, 16));
                    i = close;
                }
            }
            for (size_t k = 0; k + fields <= values.size(); k += fields)
                codes.emplace_back(values[k], values[k + fields - 2]);
            at = end;
        }
    }
    return codes;
}

} // namespace

QByteArray PdfPageEmf::takeEmf()
{
    return std::move(m_done);
}

void PdfPageEmf::setBackdrops(Backdrops mode, std::vector<BackdropShot> shots)
{
    m_backdrops = mode;
    m_shots = std::move(shots);
}

void PdfPageEmf::startPage(int, GfxState* state, XRef* xref)
{
    if (xref != m_xref) {
        m_textCodes.clear();
        m_glyphs = std::make_unique<GlyphOutlines>();
    }
    m_xref = xref;
    m_emf = std::make_unique<EmfWriter>(roundedUnits(state->getPageWidth()), roundedUnits(state->getPageHeight()),
                                        UnitsPerInch);
    m_savedDC.clear();
    m_savedOpacity.clear();
    m_groups.clear();
    m_pictureDepth = 0;
    m_event = 0;
    m_nextShot = 0;
    if (m_backdrops == Backdrops::Collect)
        m_shots.clear();
    m_maskDepth = 0;
    m_run = PdfTextRun();
    m_line = TextLine();
    m_verticalFlow = false;
    m_actualText.clear();
    m_faceFont = nullptr;
    m_done.clear();
}

void PdfPageEmf::endPage()
{
    if (!m_emf)
        return;
    flushText();
    while (!m_savedDC.empty()) {
        if (m_savedDC.back())
            m_emf->restoreDC();
        m_savedDC.pop_back();
    }
    m_done = m_emf->finish();
    m_emf.reset();
}

void PdfPageEmf::saveState(GfxState* state)
{
    m_savedDC.push_back(false);
    // A transparency group's own opacity is the fill opacity of the state saved just before it,
    // since poppler sets the group's state to opaque before beginTransparencyGroup.
    m_savedOpacity.push_back(state->getFillOpacity());
}

void PdfPageEmf::restoreState(GfxState*)
{
    if (m_savedDC.empty())
        return;
    m_savedOpacity.pop_back();
    if (m_savedDC.back() && m_emf) {
        flushText();
        m_emf->restoreDC();
    }
    m_savedDC.pop_back();
}

EmfPath PdfPageEmf::devicePath(GfxState* state) const
{
    EmfPath path;
    const GfxPath* source = state->getPath();
    path.reserve(size_t(source->getNumSubpaths()));
    for (int i = 0; i < source->getNumSubpaths(); ++i) {
        const GfxSubpath* sub = source->getSubpath(i);
        EmfFigure figure;
        figure.points.reserve(size_t(sub->getNumPoints()));
        figure.curve.reserve(size_t(sub->getNumPoints()));
        for (int k = 0; k < sub->getNumPoints(); ++k) {
            double x, y;
            state->transform(sub->getX(k), sub->getY(k), &x, &y);
            figure.points.push_back({roundedUnits(x), roundedUnits(y)});
            figure.curve.push_back(sub->getCurve(k));
        }
        figure.closed = sub->isClosed();
        path.push_back(std::move(figure));
    }
    return path;
}

double PdfPageEmf::paintOpacity(GfxState* state, bool stroke) const
{
    const double own = stroke ? state->getStrokeOpacity() : state->getFillOpacity();
    return m_groups.empty() ? own : own * m_groups.back().opacity;
}

void PdfPageEmf::stroke(GfxState* state)
{
    ++m_event;
    const double opacity = paintOpacity(state, true);
    if (!painting() || opacity <= 0)
        return;
    flushText();
    GfxRGB rgb;
    state->getStrokeRGB(&rgb);
    EmfPen pen;
    const double width = state->getTransformedLineWidth();
    pen.width = std::max(1, roundedUnits(width));
    pen.color = overWhite(colorOf(rgb), opacity);
    pen.cap = EmfPen::Cap(std::clamp(state->getLineCap(), 0, 2));
    pen.join = EmfPen::Join(std::clamp(state->getLineJoin(), 0, 2));
    double phase;
    std::vector<double> dashes;
    bool visibleDash = false;
    for (double d : state->getLineDash(&phase)) {
        dashes.push_back(std::max(0.0, state->transformWidth(d)));
        visibleDash = visibleDash || d > 0;
    }
    if (dashes.size() % 2)
        dashes.insert(dashes.end(), dashes.begin(), dashes.end());
    const FlatPath flat =
        visibleDash ? dashedPath(flatDevicePath(state), dashes, state->transformWidth(phase)) : FlatPath();
    const EmfPath path = visibleDash ? emfPathOf(flat) : devicePath(state);
    if (path.empty())
        return;
    if (opacity < 1) {
        // Miter joins reach out to the miter limit (10) times half the width.
        const double reach = width * (pen.join == EmfPen::MiterJoin ? 5 : 0.5) + 1;
        EmfRect bounds = boundsOf(path);
        bounds = {bounds.left - int32_t(reach), bounds.top - int32_t(reach), bounds.right + int32_t(reach),
                  bounds.bottom + int32_t(reach)};
        const EmfRect region = clippedRegion(state, bounds);
        if (wantsPicture(region)) {
            const EmfPath outline = hasPicture() ? strokeOutline(visibleDash ? flat : flatDevicePath(state),
                                                                 width, state->getLineCap(),
                                                                 state->getLineJoin(), state->getMiterLimit())
                                                 : EmfPath();
            drawPicture(region, outline, true);
            return;
        }
    }
    m_emf->strokePath(path, pen);
}

void PdfPageEmf::fillWith(GfxState* state, bool winding)
{
    const double opacity = paintOpacity(state, false);
    if (!painting() || opacity <= 0)
        return;
    flushText();
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    const EmfPath path = devicePath(state);
    if (opacity < 1) {
        const EmfRect region = clippedRegion(state, boundsOf(path));
        if (wantsPicture(region)) {
            drawPicture(region, path, winding);
            return;
        }
    }
    const EmfColor color = overWhite(colorOf(rgb), opacity);
    if (const std::optional<ThinBar> bar = thinBarOf(path, UnitsPerInch / 72)) {
        EmfPen pen;
        pen.width = std::max(1, bar->thickness);
        pen.color = color;
        m_emf->strokePath(bar->line, pen);
        return;
    }
    m_emf->fillPath(path, color, winding);
}

void PdfPageEmf::fill(GfxState* state)
{
    ++m_event;
    fillWith(state, true);
}

void PdfPageEmf::eoFill(GfxState* state)
{
    ++m_event;
    fillWith(state, false);
}

bool PdfPageEmf::axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin, double tMax)
{
    ++m_event;
    const double opacity = paintOpacity(state, false);
    if (!painting() || opacity <= 0)
        return true;
    flushText();
    if (opacity < 1) {
        double x0, y0, x1, y1;
        state->getClipBBox(&x0, &y0, &x1, &y1);
        const EmfRect region =
            clippedRegion(state, {roundedUnits(x0), roundedUnits(y0), roundedUnits(x1), roundedUnits(y1)});
        if (wantsPicture(region)) {
            drawPicture(region, {}, true);
            return true;
        }
    }
    double x0, y0, x1, y1;
    shading->getCoords(&x0, &y0, &x1, &y1);
    const double dx = x1 - x0, dy = y1 - y0, length = std::hypot(dx, dy);
    if (length <= 0 || tMax <= tMin)
        return false;
    // Bands reach across the whole clip box on both sides of the axis.
    double cx0, cy0, cx1, cy1;
    state->getUserClipBBox(&cx0, &cy0, &cx1, &cy1);
    double reach = length;
    for (const auto& [cx, cy] : {std::pair{cx0, cy0}, {cx0, cy1}, {cx1, cy0}, {cx1, cy1}})
        reach = std::max(reach, std::hypot(cx - x0, cy - y0) + length);
    const double nx = -dy / length * reach, ny = dx / length * reach;
    double ddx, ddy;
    state->transformDelta(dx * (tMax - tMin), dy * (tMax - tMin), &ddx, &ddy);
    const int bands = std::clamp(int(std::hypot(ddx, ddy) / (UnitsPerInch / 72.0)), 1, 256);
    const double t0 = shading->getDomain0(), t1 = shading->getDomain1();
    const auto colorAt = [&](double s) {
        GfxColor color;
        shading->getColor(t0 + std::clamp(s, 0.0, 1.0) * (t1 - t0), &color);
        GfxRGB rgb;
        shading->getColorSpace()->getRGB(&color, &rgb);
        return colorOf(rgb);
    };
    const auto point = [&](double s, double side) {
        double x, y;
        state->transform(x0 + s * dx + side * nx, y0 + s * dy + side * ny, &x, &y);
        return EmfPoint{roundedUnits(x), roundedUnits(y)};
    };
    const double step = (tMax - tMin) / bands;
    int first = 0;
    while (first < bands) {
        // Neighbouring bands of one colour are one fill; each overlaps the next a little.
        const EmfColor color = colorAt(tMin + (first + 0.5) * step);
        int last = first + 1;
        while (last < bands && colorAt(tMin + (last + 0.5) * step) == color)
            ++last;
        const double from = tMin + first * step;
        const double to = last == bands ? tMax : tMin + (last + 0.25) * step;
        EmfFigure band;
        band.points = {point(from, 1), point(to, 1), point(to, -1), point(from, -1)};
        band.curve.assign(4, false);
        band.closed = true;
        m_emf->fillPath({band}, overWhite(color, opacity), true);
        first = last;
    }
    return true;
}

void PdfPageEmf::clipWith(GfxState* state, bool winding)
{
    if (!drawing())
        return;
    flushText();
    if (!m_savedDC.empty() && !m_savedDC.back()) {
        m_emf->saveDC();
        m_savedDC.back() = true;
    }
    m_emf->clipPath(devicePath(state), winding);
}

void PdfPageEmf::clip(GfxState* state)
{
    clipWith(state, true);
}

void PdfPageEmf::eoClip(GfxState* state)
{
    clipWith(state, false);
}

bool PdfPageEmf::hasText(const GfxFont& font, CharCode code)
{
    const Ref id = *font.getID();
    auto known = m_textCodes.find({id.num, id.gen});
    if (known == m_textCodes.end()) {
        std::optional<std::vector<CodeRange>> codes;
        Object dict = m_xref ? m_xref->fetch(id) : Object();
        Object stream = dict.isDict() ? dict.dictLookup("ToUnicode") : Object();
        if (stream.isStream()) {
            GooString text;
            stream.streamReset();
            stream.getStream()->fillGooString(&text);
            stream.streamClose();
            codes = codesWithText(QByteArray::fromStdString(text.toStr()));
        }
        known = m_textCodes.emplace(std::pair{id.num, id.gen}, std::move(codes)).first;
    }
    if (!known->second)
        return true;
    return std::any_of(known->second->begin(), known->second->end(),
                       [code](const CodeRange& r) { return code >= r.first && code <= r.second; });
}

namespace {

// A glyph placed with its origin at (x, y) under the font's matrix to device space.
EmfPath glyphPath(const GlyphOutline& glyph, double x, double y, double m11, double m12, double m21,
                  double m22)
{
    EmfPath path;
    for (const GlyphFigure& figure : glyph.figures) {
        EmfFigure placed;
        for (const auto& [gx, gy] : figure.points)
            placed.points.push_back(
                {roundedUnits(x + gx * m11 + gy * m21), roundedUnits(y + gx * m12 + gy * m22)});
        placed.curve = figure.curve;
        placed.closed = true;
        path.push_back(std::move(placed));
    }
    return path;
}

} // namespace

void PdfPageEmf::drawChar(GfxState* state, double x, double y, double dx, double dy, double, double,
                          CharCode code, int, const Unicode* u, int uLen)
{
    ++m_event;
    const int render = state->getRender() & 3;
    const bool actual = !m_actualText.empty();
    if (actual) {
        if (m_actualTextGiven)
            return;
        m_actualTextGiven = true;
        u = m_actualText.data();
        uLen = int(m_actualText.size());
    }
    if (!drawing() || render == 3 || !state->getFont() || uLen <= 0)
        return;
    const GfxFont* font = state->getFont().get();
    if (font != m_faceFont) {
        m_face = fontFaceOf(*font);
        m_faceFont = font;
    }
    double m11, m12, m21, m22;
    state->getFontTransMat(&m11, &m12, &m21, &m22);
    m11 *= state->getHorizScaling();
    m12 *= state->getHorizScaling();
    const double along = std::hypot(m11, m12), height = std::hypot(m21, m22);
    if (along <= 0 || height <= 0)
        return;
    EmfFont emfFont;
    emfFont.height = std::max(1, roundedUnits(height));
    // Condensed or expanded glyphs (horizontal scaling, Tz): a width in each reader's measure. The
    // em across the baseline is the matrix's area over its length along it, so slant is no stretch.
    const double area = std::abs(m11 * m22 - m12 * m21);
    const double stretch = area > 0 ? along * along / area : 1;
    if (std::abs(stretch - 1) > 0.01 && m_face.averageWidth > 0) {
        emfFont.width = std::max(1, roundedUnits(stretch * m_face.averageWidth * height));
        // The office's reader takes a width equal to the height for the face's own proportions.
        emfFont.width += emfFont.width == emfFont.height ? 1 : 0;
        emfFont.asciiWidth = roundedUnits(stretch * m_face.asciiAdvance * height);
    }
    int escapement = roundedUnits(std::atan2(-m12, m11) * 1800 / M_PI);
    emfFont.escapement = (escapement + 3600) % 3600;
    // Fill and stroke at once is how bold is faked for a face that has none.
    emfFont.weight = render == 2 ? std::max(m_face.weight, 700) : m_face.weight;
    emfFont.italic = m_face.italic;
    emfFont.face = m_face.family;
    GfxRGB rgb;
    double opacity;
    if (render == 1) {
        state->getStrokeRGB(&rgb);
        opacity = paintOpacity(state, true);
    } else {
        state->getFillRGB(&rgb);
        opacity = paintOpacity(state, false);
    }
    const EmfColor color = overWhite(colorOf(rgb), opacity);

    double px, py, ax, ay;
    state->transform(x, y, &px, &py);
    state->transformDelta(dx, dy, &ax, &ay);
    const double dirX = m11 / along, dirY = m12 / along;
    if (!actual && render != 1 && isPrivateUse(u, uLen)) {
        if (const GlyphOutline* glyph = m_glyphs->outline(*state->getFont(), m_xref, code)) {
            // Inside a group drawn as a picture, the picture shows it.
            if (painting()) {
                flushText();
                m_emf->fillPath(glyphPath(*glyph, px, py, m11, m12, m21, m22), color, glyph->winding);
            }
            return;
        }
    }
    const bool continues = m_run.continuesAt(emfFont, color, px, py, PdfTextRun::isMark(u, uLen));
    // A glyph the font's ToUnicode map leaves out has its code for text ("6" for 0x36): the office's
    // kashida, which stretches a word of a justified Arabic line, is a tatweel; other such glyphs
    // have no text to show.
    static const Unicode tatweel = 0x0640;
    if (!actual && uLen == 1 && u[0] == code && !hasText(*font, code)) {
        if (!continues || !m_run.endsInArabic())
            return;
        u = &tatweel;
    }
    if (!continues) {
        // Vertical text: the glyph above and this one form a column; a glyph that starts the next
        // column takes the direction of the last.
        if (m_run.standsAbove(emfFont, px, py)) {
            m_verticalFlow = true;
            m_run.setVertical();
        }
        flushText();
        m_run.start(emfFont, color, px, py, dirX, dirY);
        if (m_verticalFlow && emfFont.escapement == 0)
            m_run.setVertical();
    } else {
        m_verticalFlow = false;
    }
    m_run.add(px, py, ax * dirX + ay * dirY, u, uLen);
}

void PdfPageEmf::beginActualText(GfxState*, const GooString* text)
{
    Unicode* ucs4 = nullptr;
    const int length = text ? TextStringToUCS4(text->toStr(), &ucs4) : 0;
    m_actualText.assign(ucs4, ucs4 + std::max(length, 0));
    gfree(ucs4);
    m_actualTextGiven = false;
}

void PdfPageEmf::endActualText(GfxState*)
{
    m_actualText.clear();
}

void PdfPageEmf::flushText()
{
    if (m_emf)
        m_run.writeTo(*m_emf, m_line);
}

void PdfPageEmf::beginTransparencyGroup(GfxState* state, const double* bbox, GfxColorSpace*, bool, bool,
                                        bool forSoftMask)
{
    flushText();
    const double outer = m_groups.empty() ? 1 : m_groups.back().opacity;
    const double own = m_savedOpacity.empty() ? 1 : m_savedOpacity.back();
    Group group{forSoftMask, forSoftMask ? outer : outer * own, false, {}};
    if (!forSoftMask && group.opacity < 1 && drawing()) {
        EmfRect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (const auto& [x, y] :
             {std::pair{bbox[0], bbox[1]}, {bbox[2], bbox[1]}, {bbox[0], bbox[3]}, {bbox[2], bbox[3]}}) {
            double dx, dy;
            state->transform(x, y, &dx, &dy);
            bounds = {std::min(bounds.left, roundedUnits(dx)), std::min(bounds.top, roundedUnits(dy)),
                      std::max(bounds.right, roundedUnits(dx)), std::max(bounds.bottom, roundedUnits(dy))};
        }
        group.region = clippedRegion(state, bounds);
        group.picture = wantsPicture(group.region);
    }
    m_groups.push_back(group);
    m_maskDepth += forSoftMask ? 1 : 0;
    m_pictureDepth += group.picture ? 1 : 0;
}

void PdfPageEmf::endTransparencyGroup(GfxState*)
{
    if (m_groups.empty())
        return;
    flushText();
    m_ended = m_groups.back();
    m_maskDepth -= m_ended.forSoftMask ? 1 : 0;
    m_pictureDepth -= m_ended.picture ? 1 : 0;
    m_groups.pop_back();
}

void PdfPageEmf::paintTransparencyGroup(GfxState*, const double*)
{
    ++m_event;
    if (m_ended.picture && drawing())
        drawPicture(m_ended.region, {}, true);
    m_ended = {};
}

} // namespace quillet::pdfemf
