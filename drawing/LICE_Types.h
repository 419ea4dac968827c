#pragma once

#include <cstdint>

// One pixel: bytes blue, green, red, alpha in memory, so a little-endian 32-bit value reads 0xAARRGGBB.
using LICE_pixel = std::uint32_t;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian 0xAARRGGBB");

constexpr LICE_pixel LICE_RGBA(int r, int g, int b, int a) {
    return (static_cast<LICE_pixel>(a & 0xFF) << 24) | (static_cast<LICE_pixel>(r & 0xFF) << 16) |
           (static_cast<LICE_pixel>(g & 0xFF) << 8) | static_cast<LICE_pixel>(b & 0xFF);
}
constexpr int LICE_GETA(LICE_pixel p) {
    return static_cast<int>((p >> 24) & 0xFF);
}
constexpr int LICE_GETR(LICE_pixel p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
constexpr int LICE_GETG(LICE_pixel p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
constexpr int LICE_GETB(LICE_pixel p) {
    return static_cast<int>(p & 0xFF);
}

// Blend modes: the low byte picks how source and destination combine, the flag adds source alpha.
//   copy:  d' = d + (s - d) * w
//   add:   d' = min(255, d + s * w)
//   dodge: d' = d + (min(255, d * 256 / (256 - s)) - d) * w
// where w is the alpha argument, times the source pixel's alpha / 255 with LICE_BLIT_USE_ALPHA.
// Without the flag the alpha channel follows the same rule as the colours, so a copy at full weight
// reproduces the source exactly; with it the source is laid over the destination: a' = a + (255 - a) * w.
enum LICE_BlitMode : int {
    LICE_BLIT_MODE_COPY = 0,
    LICE_BLIT_MODE_ADD = 1,
    LICE_BLIT_MODE_DODGE = 2,
    LICE_BLIT_MODE_MASK = 0xFF,
    LICE_BLIT_USE_ALPHA = 0x10000,
};

// A rectangle in pixels: left and top inside, right and bottom just outside.
struct LICE_Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Text drawing flags; left alignment is the default.
enum LICE_TextFlags : int {
    LICE_DT_LEFT = 0,
    LICE_DT_CENTER = 1,
    LICE_DT_RIGHT = 2,
    LICE_DT_NOCLIP = 0x100,
    LICE_DT_USEFGALPHA = 0x200,
};
