#include "LICE_Blit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "LICE_Blend.h"

namespace {

bool Drawable(const LICE_IBitmap* b) {
    return b && b->Bits() && b->Width() > 0 && b->Height() > 0;
}

// One bilinear sample at texel coordinates (tx, ty) (texel centres at whole numbers), taps clamped to the
// bitmap. Colours are weighted by their alpha, so transparent neighbours do not darken an edge.
LICE_pixel SampleBilinear(const LICE_IBitmap& src, double tx, double ty) {
    const int w = src.Width();
    const int h = src.Height();
    const double fx0 = std::floor(tx);
    const double fy0 = std::floor(ty);
    const int fx = static_cast<int>((tx - fx0) * 256.0 + 0.5);
    const int fy = static_cast<int>((ty - fy0) * 256.0 + 0.5);
    const int x0 = static_cast<int>(fx0);
    const int y0 = static_cast<int>(fy0);
    const int xa = std::clamp(x0, 0, w - 1);
    const int xb = std::clamp(x0 + 1, 0, w - 1);
    const int ya = std::clamp(y0, 0, h - 1);
    const int yb = std::clamp(y0 + 1, 0, h - 1);
    const LICE_pixel taps[4] = {*src.PixelAt(xa, ya), *src.PixelAt(xb, ya), *src.PixelAt(xa, yb),
                                *src.PixelAt(xb, yb)};
    const std::int64_t weights[4] = {(256 - fx) * (256 - fy), fx * (256 - fy), (256 - fx) * fy, fx * fy};

    std::int64_t alphaSum = 0;
    std::int64_t premul[3] = {0, 0, 0};
    std::int64_t plain[3] = {0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const int a = LICE_GETA(taps[i]);
        alphaSum += weights[i] * a;
        for (int c = 0; c < 3; ++c) {
            const int v = static_cast<int>((taps[i] >> (8 * c)) & 0xFF);
            premul[c] += weights[i] * a * v;
            plain[c] += weights[i] * v;
        }
    }
    LICE_pixel out = static_cast<LICE_pixel>((alphaSum + 32768) >> 16) << 24;
    for (int c = 0; c < 3; ++c) {
        const std::int64_t v =
            alphaSum > 0 ? (premul[c] + alphaSum / 2) / alphaSum : (plain[c] + 32768) >> 16;
        out |= static_cast<LICE_pixel>(std::min<std::int64_t>(v, 255)) << (8 * c);
    }
    return out;
}

// v limited to 0..limit, so far-away geometry never reaches an int conversion out of range.
int ClampToInt(double v, int limit) {
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
}

} // namespace

void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstX, int dstY, int srcX, int srcY, int width,
               int height, float alpha, int mode) {
    if (!Drawable(dest) || !Drawable(src) || width <= 0 || height <= 0)
        return;
    const int weight = LICE_AlphaWeight(alpha);
    if (weight == 0)
        return;

    // Clip in 64 bits so coordinates anywhere in the int range cannot overflow.
    std::int64_t sx = srcX, sy = srcY, dx = dstX, dy = dstY, w = width, h = height;
    auto clipStart = [&](std::int64_t& a, std::int64_t& b, std::int64_t& len) {
        if (a < 0) {
            b -= a;
            len += a;
            a = 0;
        }
    };
    clipStart(sx, dx, w);
    clipStart(sy, dy, h);
    clipStart(dx, sx, w);
    clipStart(dy, sy, h);
    w = std::min(
        {w, static_cast<std::int64_t>(src->Width()) - sx, static_cast<std::int64_t>(dest->Width()) - dx});
    h = std::min(
        {h, static_cast<std::int64_t>(src->Height()) - sy, static_cast<std::int64_t>(dest->Height()) - dy});
    if (w <= 0 || h <= 0)
        return;

    const int cw = static_cast<int>(w);
    const int ch = static_cast<int>(h);
    const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
    const int x1 = static_cast<int>(dx), y1 = static_cast<int>(dy);

    // Reading and writing the same bitmap: take the block out first.
    std::vector<LICE_pixel> copy;
    const LICE_pixel* from = src->PixelAt(x0, y0);
    int fromSpan = src->RowSpan();
    if (src == dest) {
        copy.resize(static_cast<size_t>(cw) * static_cast<size_t>(ch));
        for (int y = 0; y < ch; ++y)
            std::copy_n(src->PixelAt(x0, y0 + y), cw, copy.data() + static_cast<std::ptrdiff_t>(y) * cw);
        from = copy.data();
        fromSpan = cw;
    }

    for (int y = 0; y < ch; ++y) {
        const LICE_pixel* s = from + static_cast<std::ptrdiff_t>(y) * fromSpan;
        LICE_pixel* d = dest->PixelAt(x1, y1 + y);
        for (int x = 0; x < cw; ++x)
            LICE_BlendPixel(d[x], s[x], LICE_SourceWeight(weight, s[x], mode), mode);
    }
}

void LICE_RotatedBlit(LICE_IBitmap* dest, const LICE_IBitmap* src, float dstX, float dstY, float dstW,
                      float dstH, float srcX, float srcY, float srcW, float srcH, float angle, float alpha,
                      int mode) {
    if (!Drawable(dest) || !Drawable(src))
        return;
    const int weight = LICE_AlphaWeight(alpha);
    if (weight == 0)
        return;
    const double values[] = {dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH, angle};
    for (double v : values)
        if (!std::isfinite(v))
            return;
    if (!(dstW > 0.0f) || !(dstH > 0.0f) || !(srcW > 0.0f) || !(srcH > 0.0f))
        return;

    const double halfW = 0.5 * dstW;
    const double halfH = 0.5 * dstH;
    const double cx = dstX + halfW;
    const double cy = dstY + halfH;
    const double c = std::cos(static_cast<double>(angle));
    const double s = std::sin(static_cast<double>(angle));
    const double scaleX = static_cast<double>(srcW) / dstW;
    const double scaleY = static_cast<double>(srcH) / dstH;
    const double srcCx = srcX + 0.5 * srcW;
    const double srcCy = srcY + 0.5 * srcH;

    // The turned box's bounds, limited to the destination bitmap.
    const double extentX = std::fabs(c) * halfW + std::fabs(s) * halfH;
    const double extentY = std::fabs(s) * halfW + std::fabs(c) * halfH;
    const int xs = ClampToInt(std::floor(cx - extentX), dest->Width());
    const int ys = ClampToInt(std::floor(cy - extentY), dest->Height());
    const int xe = ClampToInt(std::ceil(cx + extentX), dest->Width());
    const int ye = ClampToInt(std::ceil(cy + extentY), dest->Height());
    const double eps = 1e-9;

    for (int y = ys; y < ye; ++y) {
        LICE_pixel* row = dest->PixelAt(0, y);
        const double dy = y + 0.5 - cy;
        for (int x = xs; x < xe; ++x) {
            const double dx = x + 0.5 - cx;
            // Undo the clockwise turn (y grows downwards) to find where this pixel comes from.
            const double ux = c * dx + s * dy;
            const double uy = -s * dx + c * dy;
            if (std::fabs(ux) > halfW + eps || std::fabs(uy) > halfH + eps)
                continue;
            const double sxEdge = srcCx + ux * scaleX;
            const double syEdge = srcCy + uy * scaleY;
            if (sxEdge < 0.0 || syEdge < 0.0 || sxEdge > src->Width() || syEdge > src->Height())
                continue;
            const LICE_pixel p = SampleBilinear(*src, sxEdge - 0.5, syEdge - 0.5);
            LICE_BlendPixel(row[x], p, LICE_SourceWeight(weight, p, mode), mode);
        }
    }
}
