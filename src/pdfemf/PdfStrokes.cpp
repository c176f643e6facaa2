#include "pdfemf/PdfStrokes_p.h"

#include <GfxState.h>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <splash/Splash.h>
#include <splash/SplashBitmap.h>
#include <splash/SplashPath.h>

namespace quillet::pdfemf {

namespace {

// How far a flattened curve may stray from the curve, in device units (1/1440 inch).
constexpr double kFlatness = 0.5;

void flattenCurve(const FlatPoint& p0, const FlatPoint& p1, const FlatPoint& p2, const FlatPoint& p3,
                  std::vector<FlatPoint>& out)
{
    // Uniform steps stay within kFlatness when n^2 >= 3/4 of the largest second difference / kFlatness.
    const double d1 = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    const double d2 = std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    const int n = std::clamp(int(std::ceil(std::sqrt(0.75 * std::max(d1, d2) / kFlatness))), 1, 1000);
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n, s = 1 - t;
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
}

} // namespace

FlatPath flatDevicePath(GfxState* state)
{
    FlatPath path;
    const GfxPath* source = state->getPath();
    for (int i = 0; i < source->getNumSubpaths(); ++i) {
        const GfxSubpath* sub = source->getSubpath(i);
        const auto point = [&](int k) {
            FlatPoint p;
            state->transform(sub->getX(k), sub->getY(k), &p.x, &p.y);
            return p;
        };
        FlatFigure figure;
        figure.points.push_back(point(0));
        for (int k = 1; k < sub->getNumPoints();) {
            if (sub->getCurve(k) && k + 2 < sub->getNumPoints()) {
                const FlatPoint from = figure.points.back();
                flattenCurve(from, point(k), point(k + 1), point(k + 2), figure.points);
                k += 3;
            } else {
                figure.points.push_back(point(k));
                ++k;
            }
        }
        figure.closed = sub->isClosed();
        path.push_back(std::move(figure));
    }
    return path;
}

FlatPath dashedPath(const FlatPath& path, const std::vector<double>& dashes, double phase)
{
    const double period = std::accumulate(dashes.begin(), dashes.end(), 0.0);
    if (dashes.empty() || period <= 0)
        return path;
    FlatPath out;
    for (const FlatFigure& figure : path) {
        std::vector<FlatPoint> points = figure.points;
        if (figure.closed && !points.empty())
            points.push_back(points.front());
        // Where the pattern stands at the figure's start.
        size_t index = 0;
        double into = std::fmod(std::fmod(phase, period) + period, period);
        while (into >= dashes[index]) {
            into -= dashes[index];
            index = (index + 1) % dashes.size();
        }
        double left = dashes[index] - into;
        bool on = index % 2 == 0, switched = false;
        FlatFigure piece;
        if (on && !points.empty())
            piece.points.push_back(points.front());
        for (size_t k = 1; k < points.size(); ++k) {
            const FlatPoint a = points[k - 1], b = points[k];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (length <= 0)
                continue;
            double at = 0;
            while (length - at > left) {
                at += left;
                const FlatPoint p{a.x + (b.x - a.x) * at / length, a.y + (b.y - a.y) * at / length};
                if (on) {
                    piece.points.push_back(p);
                    out.push_back(std::move(piece));
                    piece = FlatFigure();
                }
                index = (index + 1) % dashes.size();
                left = dashes[index];
                on = index % 2 == 0;
                switched = true;
                if (on)
                    piece.points.push_back(p);
            }
            left -= length - at;
            if (on)
                piece.points.push_back(b);
        }
        if (on && piece.points.size() > 1) {
            // A closed figure that is all one dash keeps its join where it started.
            piece.closed = figure.closed && !switched;
            if (piece.closed)
                piece.points.pop_back();
            out.push_back(std::move(piece));
        }
    }
    return out;
}

EmfPath strokeOutline(const FlatPath& path, double width, int cap, int join, double miterLimit)
{
    SplashPath source;
    for (const FlatFigure& figure : path) {
        if (figure.points.empty())
            continue;
        source.moveTo(figure.points.front().x, figure.points.front().y);
        for (size_t i = 1; i < figure.points.size(); ++i)
            source.lineTo(figure.points[i].x, figure.points[i].y);
        if (figure.closed)
            source.close();
    }
    SplashBitmap bitmap(1, 1, 1, splashModeMono8, false);
    Splash splash(&bitmap, false);
    splash.setLineCap(std::clamp(cap, 0, 2));
    splash.setLineJoin(std::clamp(join, 0, 2));
    splash.setMiterLimit(miterLimit);
    SplashPath* outline = splash.makeStrokePath(&source, std::max(width, 1.0), false);
    EmfPath out;
    for (int i = 0; outline && i < outline->getLength(); ++i) {
        double x, y;
        unsigned char flags;
        outline->getPoint(i, &x, &y, &flags);
        if ((flags & splashPathFirst) || out.empty())
            out.emplace_back();
        out.back().points.push_back({roundedUnits(x), roundedUnits(y)});
        out.back().curve.push_back(false);
        out.back().closed = (flags & splashPathClosed) != 0;
    }
    delete outline;
    return out;
}

EmfPath emfPathOf(const FlatPath& path)
{
    EmfPath out;
    out.reserve(path.size());
    for (const FlatFigure& figure : path) {
        EmfFigure emf;
        for (const FlatPoint& p : figure.points)
            emf.points.push_back({roundedUnits(p.x), roundedUnits(p.y)});
        emf.curve.assign(emf.points.size(), false);
        emf.closed = figure.closed;
        out.push_back(std::move(emf));
    }
    return out;
}

std::optional<ThinBar> thinBarOf(const EmfPath& fill, int32_t thinnest)
{
    if (fill.size() != 1 ||
        std::find(fill[0].curve.begin(), fill[0].curve.end(), true) != fill[0].curve.end())
        return std::nullopt;
    std::vector<EmfPoint> corners = fill[0].points;
    if (corners.size() == 5 && corners[4].x == corners[0].x && corners[4].y == corners[0].y)
        corners.pop_back();
    if (corners.size() != 4)
        return std::nullopt;
    const EmfRect box = boundsOf(fill);
    for (size_t i = 0; i < 4; ++i) {
        const EmfPoint a = corners[i], b = corners[(i + 1) % 4];
        const bool atCorner = (a.x == box.left || a.x == box.right) && (a.y == box.top || a.y == box.bottom);
        if (!atCorner || (a.x != b.x && a.y != b.y))
            return std::nullopt;
    }
    const int32_t width = box.right - box.left, height = box.bottom - box.top;
    if (std::min(width, height) >= thinnest || std::max(width, height) == 0)
        return std::nullopt;
    ThinBar bar;
    EmfFigure line;
    if (width >= height) {
        const int32_t middle = box.top + height / 2;
        line.points = {{box.left, middle}, {box.right, middle}};
        bar.thickness = height;
    } else {
        const int32_t middle = box.left + width / 2;
        line.points = {{middle, box.top}, {middle, box.bottom}};
        bar.thickness = width;
    }
    line.curve = {false, false};
    bar.line.push_back(std::move(line));
    return bar;
}

} // namespace quillet::pdfemf
