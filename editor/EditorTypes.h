#pragma once

#include <cstdint>

class LICE_CachedFont;
class LICE_IBitmap;

// A rectangle in editor pixels from the top-left corner. All four values 0 is the empty rectangle.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    int W() const { return right - left; }
    int H() const { return bottom - top; }
    bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const PixelRect& o) const { return !(*this == o); }
    // Strict overlap of two non-empty rectangles.
    bool Overlaps(const PixelRect& o) const {
        return !Empty() && !o.Empty() && left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    PixelRect Union(const PixelRect& o) const {
        if (Empty())
            return o;
        if (o.Empty())
            return *this;
        return {left < o.left ? left : o.left, top < o.top ? top : o.top, right > o.right ? right : o.right,
                bottom > o.bottom ? bottom : o.bottom};
    }
    PixelRect Intersect(const PixelRect& o) const {
        if (!Overlaps(o))
            return {};
        return {left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
                bottom < o.bottom ? bottom : o.bottom};
    }
};

// Each channel 0..255.
struct ArgbColor {
    std::int32_t a = 255;
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;

    std::uint32_t Packed() const {
        return (static_cast<std::uint32_t>(a & 0xFF) << 24) | (static_cast<std::uint32_t>(r & 0xFF) << 16) |
               (static_cast<std::uint32_t>(g & 0xFF) << 8) | static_cast<std::uint32_t>(b & 0xFF);
    }
    float Alpha() const { return static_cast<float>(a) * 0.003921569f; }
};

enum TextAlign : int { kAlignNear = 0, kAlignCentre = 1, kAlignFar = 2 };

// How a label is drawn. Copied by value; `cachedFont` is filled on first use from the module's font
// cache, which owns it.
struct TextStyle {
    char fontName[32] = "Arial";
    int size = 12;
    ArgbColor color;
    int style = 0; // bit 0 bold, bit 1 italic
    int align = kAlignNear;
    int orientation = 0; // degrees
    int quality = 0;     // 0 default, 2 antialiased, 3 ClearType, other not antialiased
    LICE_CachedFont* cachedFont = nullptr;

    TextStyle() = default;
    TextStyle(const char* font, int height, ArgbColor colour, int styleBits = 0, int alignment = kAlignNear);
};

// An image with its frame count. The bitmap belongs to the module's image cache (or, for the right part
// of a split image, to the control that holds the strip). `partId` names the split-off left part.
struct ImageStrip {
    LICE_IBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0;
    int frames = 1;
    int partId = 0;
};

enum BlendMethod : int { kBlendNormal = 0, kBlendOverwrite = 1, kBlendAdd = 2, kBlendDodge = 3 };

struct BlendSpec {
    int method = kBlendNormal;
    float weight = 1.0f;
};

// Buttons held and modifier keys down at an event.
struct MouseMods {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};
