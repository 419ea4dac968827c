#include "LICE_Shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "LICE_Blend.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

bool Drawable(const LICE_IBitmap* b) {
    return b && b->Bits() && b->Width() > 0 && b->Height() > 0;
}

// Blends `color` into pixel (x, y) at `weight` times `coverage` (0..1); points outside are skipped.
void Plot(LICE_IBitmap* dest, int x, int y, LICE_pixel color, int weight, double coverage, int mode) {
    LICE_pixel* p = dest->PixelAt(x, y);
    if (!p || !(coverage > 0.0))
        return;
    const int cov = coverage >= 1.0 ? 255 : static_cast<int>(coverage * 255.0 + 0.5);
    LICE_BlendPixel(*p, color, LICE_ScaleWeight(weight, cov), mode);
}

// Cuts the segment to the rectangle [lo, hi] on both axes (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double loX, double loY, double hiX,
                 double hiY) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - loX, hiX - x1, y1 - loY, hiY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = nx1;
    y1 = ny1;
    return true;
}

// The bounding box of a circle, limited to the bitmap; false when it misses the bitmap.
bool CircleBounds(const LICE_IBitmap* dest, double cx, double cy, double reach, int& x0, int& y0, int& x1,
                  int& y1) {
    const double left = std::max(0.0, std::floor(cx - reach));
    const double top = std::max(0.0, std::floor(cy - reach));
    const double right = std::min(dest->Width() - 1.0, std::ceil(cx + reach));
    const double bottom = std::min(dest->Height() - 1.0, std::ceil(cy + reach));
    if (left > right || top > bottom)
        return false;
    x0 = static_cast<int>(left);
    y0 = static_cast<int>(top);
    x1 = static_cast<int>(right);
    y1 = static_cast<int>(bottom);
    return true;
}

// Whether the direction (dx, dy) from the centre lies between the angles, measured clockwise from up.
struct AngleRange {
    double start = 0.0;
    double span = kTwoPi;
    bool Contains(double dx, double dy) const {
        if (span >= kTwoPi)
            return true;
        if (dx == 0.0 && dy == 0.0)
            return true;
        double t = std::atan2(dx, -dy) - start;
        t -= kTwoPi * std::floor(t / kTwoPi);
        return t <= span + 1e-9 || t >= kTwoPi - 1e-9;
    }
};

AngleRange MakeRange(double a, double b) {
    if (a > b)
        std::swap(a, b);
    return {a, b - a};
}

enum class Ring { Filled, Outline };

void DrawRound(LICE_IBitmap* dest, float cxf, float cyf, float radiusf, AngleRange range, LICE_pixel color,
               float alpha, int mode, bool antialiased, Ring ring) {
    if (!Drawable(dest))
        return;
    const int weight = LICE_AlphaWeight(alpha);
    const double cx = cxf, cy = cyf, r = radiusf;
    if (weight == 0 || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || r < 0.0)
        return;
    if (!std::isfinite(range.start) || !std::isfinite(range.span))
        return;
    int x0, y0, x1, y1;
    if (!CircleBounds(dest, cx, cy, r + 1.0, x0, y0, x1, y1))
        return;
    for (int y = y0; y <= y1; ++y) {
        const double dy = y - cy;
        for (int x = x0; x <= x1; ++x) {
            const double dx = x - cx;
            const double d = std::sqrt(dx * dx + dy * dy);
            double cov;
            if (ring == Ring::Filled)
                cov = antialiased ? std::clamp(r + 0.5 - d, 0.0, 1.0) : (d <= r ? 1.0 : 0.0);
            else
                cov = antialiased ? std::clamp(1.0 - std::fabs(d - r), 0.0, 1.0)
                                  : (std::fabs(d - r) < 0.5 ? 1.0 : 0.0);
            if (cov > 0.0 && range.Contains(dx, dy))
                Plot(dest, x, y, color, weight, cov, mode);
        }
    }
}

} // namespace

void LICE_Line(LICE_IBitmap* dest, float x1f, float y1f, float x2f, float y2f, LICE_pixel color, float alpha,
               int mode, bool antialiased) {
    if (!Drawable(dest))
        return;
    const int weight = LICE_AlphaWeight(alpha);
    double x1 = x1f, y1 = y1f, x2 = x2f, y2 = y2f;
    if (weight == 0 || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    // Keep only the part that can touch the bitmap, so far-away end points cost nothing.
    if (!ClipSegment(x1, y1, x2, y2, -1.0, -1.0, dest->Width(), dest->Height()))
        return;

    const bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
    if (steep) {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    auto plot = [&](int major, int minor, double cov) {
        if (steep)
            Plot(dest, minor, major, color, weight, cov, mode);
        else
            Plot(dest, major, minor, color, weight, cov, mode);
    };
    const int start = static_cast<int>(std::lround(x1));
    const int end = static_cast<int>(std::lround(x2));
    const double slope = x2 > x1 ? (y2 - y1) / (x2 - x1) : 0.0;
    for (int m = start; m <= end; ++m) {
        const double along = std::clamp(static_cast<double>(m), x1, x2);
        const double minor = y1 + (along - x1) * slope;
        if (antialiased) {
            // Split the pixel between the two rows the line passes between.
            const double base = std::floor(minor);
            const double frac = minor - base;
            plot(m, static_cast<int>(base), 1.0 - frac);
            plot(m, static_cast<int>(base) + 1, frac);
        } else {
            plot(m, static_cast<int>(std::floor(minor + 0.5)), 1.0);
        }
    }
}

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel color, float alpha,
                   int mode) {
    if (!Drawable(dest) || width <= 0 || height <= 0)
        return;
    const int weight = LICE_AlphaWeight(alpha);
    if (weight == 0)
        return;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(static_cast<std::int64_t>(x) + width, dest->Width());
    const std::int64_t bottom = std::min<std::int64_t>(static_cast<std::int64_t>(y) + height, dest->Height());
    for (std::int64_t row = top; row < bottom; ++row) {
        LICE_pixel* p = dest->PixelAt(0, static_cast<int>(row));
        for (std::int64_t col = left; col < right; ++col)
            LICE_BlendPixel(p[col], color, weight, mode);
    }
}

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float radius, float startAngle, float endAngle,
              LICE_pixel color, float alpha, int mode, bool antialiased) {
    DrawRound(dest, cx, cy, radius, MakeRange(startAngle, endAngle), color, alpha, mode, antialiased,
              Ring::Outline);
}

void LICE_FillArc(LICE_IBitmap* dest, float cx, float cy, float radius, float startAngle, float endAngle,
                  LICE_pixel color, float alpha, int mode, bool antialiased) {
    DrawRound(dest, cx, cy, radius, MakeRange(startAngle, endAngle), color, alpha, mode, antialiased,
              Ring::Filled);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_pixel color, float alpha,
                     int mode, bool antialiased) {
    DrawRound(dest, cx, cy, radius, AngleRange{}, color, alpha, mode, antialiased, Ring::Filled);
}
