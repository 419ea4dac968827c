#include "IGraphics.h"

#include <cstring>

#include "IParamSpec.h"
#include "LICE_Blit.h"
#include "LICE_CachedFont.h"
#include "LICE_Shapes.h"
#include "LICE_SysBitmap.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The module-wide font cache: fonts by size, orientation, style and name, kept until the module unloads.
struct FontEntry {
    int size;
    int orientation;
    int style;
    char name[37];
    std::unique_ptr<LICE_CachedFont> font;
};

struct FontCache {
    RecursiveLock lock;
    std::vector<FontEntry> entries;
};

FontCache& Fonts() {
    static FontCache cache;
    return cache;
}

// The drawing layer's mode and weight for a blend; absent means normal at full weight.
int LiceMode(const BlendSpec* blend) {
    switch (blend ? blend->method : kBlendNormal) {
    case kBlendOverwrite:
        return LICE_BLIT_MODE_COPY;
    case kBlendAdd:
        return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case kBlendDodge:
        return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default:
        return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
    }
}

float Weight(const BlendSpec* blend) {
    return blend ? blend->weight : 1.0f;
}

// Shapes take their colour's alpha as part of the weight.
float ShapeAlpha(const ArgbColor& color, const BlendSpec* blend) {
    return color.Alpha() * Weight(blend);
}

} // namespace

// ---- drawing ----

void IGraphics::BlitStrip(const ImageStrip& strip, const PixelRect& dest, int srcX, int srcY,
                          const BlendSpec* blend) {
    const PixelRect clipped = dest.Intersect(drawRect_);
    if (clipped.Empty() || !strip.bitmap)
        return;
    LICE_Blit(drawBitmap_.get(), strip.bitmap, clipped.left, clipped.top, srcX + clipped.left - dest.left,
              srcY + clipped.top - dest.top, clipped.W(), clipped.H(), Weight(blend), LiceMode(blend));
}

void IGraphics::BlitFrame(const ImageStrip& strip, const PixelRect& dest, int frame, const BlendSpec* blend,
                          bool vertical) {
    int srcX = 0;
    int srcY = 0;
    if (strip.frames >= 2 && frame >= 2) {
        if (vertical)
            srcY = static_cast<int>(static_cast<double>(strip.height) * (frame - 1) / strip.frames + 0.5);
        else
            srcX = static_cast<int>(static_cast<double>(strip.width) * (frame - 1) / strip.frames + 0.5);
    }
    BlitStrip(strip, dest, srcX, srcY, blend);
}

void IGraphics::BlitRotated(const ImageStrip& strip, int centreX, int centreY, double angle,
                            const BlendSpec* blend, double shiftX, double shiftY) {
    if (!strip.bitmap)
        return;
    const float w = static_cast<float>(strip.bitmap->Width());
    const float h = static_cast<float>(strip.bitmap->Height());
    LICE_RotatedBlit(drawBitmap_.get(), strip.bitmap, static_cast<float>(centreX) - w / 2.0f,
                     static_cast<float>(centreY) - h / 2.0f, w, h, static_cast<float>(shiftX),
                     static_cast<float>(shiftY), w, h, static_cast<float>(angle), Weight(blend),
                     LiceMode(blend));
}

void IGraphics::StrokeLine(const ArgbColor& color, float x1, float y1, float x2, float y2,
                           const BlendSpec* blend, bool antialiased) {
    LICE_Line(drawBitmap_.get(), x1, y1, x2, y2, color.Packed(), ShapeAlpha(color, blend), LiceMode(blend),
              antialiased);
}

void IGraphics::FillBox(const ArgbColor& color, const PixelRect& rect, const BlendSpec* blend) {
    LICE_FillRect(drawBitmap_.get(), rect.left, rect.top, rect.W(), rect.H(), color.Packed(),
                  ShapeAlpha(color, blend), LiceMode(blend));
}

void IGraphics::OutlineRounded(const ArgbColor& color, const PixelRect& rect, int radius,
                               const BlendSpec* blend, bool antialiased) {
    LICE_IBitmap* dest = drawBitmap_.get();
    const float l = static_cast<float>(rect.left);
    const float t = static_cast<float>(rect.top);
    const float r = static_cast<float>(rect.right - 1);
    const float b = static_cast<float>(rect.bottom - 1);
    const float rad = static_cast<float>(radius > 0 ? radius : 0);
    const LICE_pixel c = color.Packed();
    const float alpha = ShapeAlpha(color, blend);
    const int mode = LiceMode(blend);
    LICE_Line(dest, l + rad, t, r - rad, t, c, alpha, mode, antialiased);
    LICE_Line(dest, l + rad, b, r - rad, b, c, alpha, mode, antialiased);
    LICE_Line(dest, l, t + rad, l, b - rad, c, alpha, mode, antialiased);
    LICE_Line(dest, r, t + rad, r, b - rad, c, alpha, mode, antialiased);
    if (rad <= 0.0f)
        return;
    const float q = static_cast<float>(kPi / 2.0);
    LICE_Arc(dest, l + rad, t + rad, rad, -q, 0.0f, c, alpha, mode, antialiased);
    LICE_Arc(dest, r - rad, t + rad, rad, 0.0f, q, c, alpha, mode, antialiased);
    LICE_Arc(dest, r - rad, b - rad, rad, q, 2.0f * q, c, alpha, mode, antialiased);
    LICE_Arc(dest, l + rad, b - rad, rad, 2.0f * q, 3.0f * q, c, alpha, mode, antialiased);
}

void IGraphics::FillRounded(const ArgbColor& color, const PixelRect& rect, int radius, int corners,
                            const BlendSpec* blend, bool antialiased) {
    if (corners != 4 && corners != 2 && corners != -2)
        return;
    LICE_IBitmap* dest = drawBitmap_.get();
    const int w = rect.W();
    const int h = rect.H();
    int rad = radius > 0 ? radius : 0;
    if (rad * 2 > w)
        rad = w / 2;
    if (rad * 2 > h)
        rad = h / 2;
    const LICE_pixel c = color.Packed();
    const float alpha = ShapeAlpha(color, blend);
    const int mode = LiceMode(blend);
    const bool top = corners != -2;
    const bool bottom = corners != 2;
    // Bands and corner quarters that never overlap, so a translucent colour covers each pixel once. The
    // quarters are centred between pixels, so each fills exactly its rad x rad corner box.
    const int bodyTop = rect.top + (top ? rad : 0);
    const int bodyBottom = rect.bottom - (bottom ? rad : 0);
    LICE_FillRect(dest, rect.left, bodyTop, w, bodyBottom - bodyTop, c, alpha, mode);
    if (rad <= 0)
        return;
    const float q = static_cast<float>(kPi / 2.0);
    const float fr = static_cast<float>(rad);
    const float left = static_cast<float>(rect.left + rad) - 0.5f;
    const float right = static_cast<float>(rect.right - rad) - 0.5f;
    if (top) {
        LICE_FillRect(dest, rect.left + rad, rect.top, w - 2 * rad, rad, c, alpha, mode);
        const float cy = static_cast<float>(rect.top + rad) - 0.5f;
        LICE_FillArc(dest, left, cy, fr, -q, 0.0f, c, alpha, mode, antialiased);
        LICE_FillArc(dest, right, cy, fr, 0.0f, q, c, alpha, mode, antialiased);
    }
    if (bottom) {
        LICE_FillRect(dest, rect.left + rad, rect.bottom - rad, w - 2 * rad, rad, c, alpha, mode);
        const float cy = static_cast<float>(rect.bottom - rad) - 0.5f;
        LICE_FillArc(dest, right, cy, fr, q, 2.0f * q, c, alpha, mode, antialiased);
        LICE_FillArc(dest, left, cy, fr, 2.0f * q, 3.0f * q, c, alpha, mode, antialiased);
    }
}

void IGraphics::FillDisc(const ArgbColor& color, float centreX, float centreY, float radius,
                         const BlendSpec* blend, bool antialiased) {
    LICE_FillCircle(drawBitmap_.get(), centreX, centreY, radius, color.Packed(), ShapeAlpha(color, blend),
                    LiceMode(blend), antialiased);
}

LICE_CachedFont* IGraphics::FontFor(TextStyle* style) {
    if (!style)
        return nullptr;
    if (style->cachedFont)
        return style->cachedFont;
    FontCache& cache = Fonts();
    LockGuard guard(cache.lock);
    const int bits = style->style & 3;
    for (FontEntry& entry : cache.entries) {
        if (entry.size == style->size && entry.orientation == style->orientation && entry.style == bits &&
            std::strcmp(entry.name, style->fontName) == 0) {
            style->cachedFont = entry.font.get();
            return style->cachedFont;
        }
    }
    LICE_FontSpec spec;
    spec.face = style->fontName;
    spec.height = style->size;
    spec.weight = (bits & 1) ? 700 : 400;
    spec.italic = (bits & 2) != 0;
    spec.orientation = style->orientation;
    spec.quality = style->quality;
    std::unique_ptr<LICE_CachedFont> font(LICE_CachedFont::Create(spec));
    if (!font)
        return nullptr;
    FontEntry entry{style->size, style->orientation, bits, {}, std::move(font)};
    CopyText(entry.name, style->fontName, sizeof(entry.name));
    style->cachedFont = entry.font.get();
    cache.entries.push_back(std::move(entry));
    return style->cachedFont;
}

bool IGraphics::DrawLabel(TextStyle* style, const char* text, const PixelRect& rect) {
    if (!text || !text[0])
        return true;
    LICE_CachedFont* font = FontFor(style);
    if (!font)
        return false;
    font->SetTextColor(style->color.Packed());
    int flags = LICE_DT_NOCLIP;
    if (style->color.a != 255)
        flags |= LICE_DT_USEFGALPHA;
    if (style->align == kAlignCentre)
        flags |= LICE_DT_CENTER;
    else if (style->align == kAlignFar)
        flags |= LICE_DT_RIGHT;
    font->DrawText(drawBitmap_.get(), text, LICE_Rect{rect.left, rect.top, rect.right, rect.bottom}, flags);
    return true;
}
