#pragma once

#include "LICE_IBitmap.h"

// How a font is asked for: the fields of a Windows font request, so both platforms read the same style.
struct LICE_FontSpec {
    const char* face = "Arial";
    int height = 16;  // character (em) height in pixels, as a negative Windows font height means
    int weight = 400; // 700 and above is bold
    bool italic = false;
    int orientation = 0; // degrees; on Linux text is always drawn upright
    int quality = 0;     // 0 default, 2 antialiased, 3 ClearType (antialiased here), other: not antialiased
};

// A font that draws single lines of text in its current colour. GUI thread.
class LICE_IFont {
  public:
    virtual ~LICE_IFont() = default;

    // 0xAARRGGBB; the alpha byte counts only with LICE_DT_USEFGALPHA.
    virtual void SetTextColor(LICE_pixel color) = 0;
    virtual LICE_pixel TextColor() const = 0;

    // Draws `text` (UTF-8, one line; line breaks are not interpreted) into `rect` of `dest`: left, centred
    // or right by the LICE_DT_* flags, its first line's top at rect.top. Glyphs are clipped to `rect`
    // unless LICE_DT_NOCLIP is given, and always to the bitmap. Returns the line height, or 0 when nothing
    // could be drawn (null bitmap or text).
    virtual int DrawText(LICE_IBitmap* dest, const char* text, const LICE_Rect& rect, int flags) = 0;

    // The size `text` takes on one line: the sum of its advances and the line height.
    virtual bool MeasureText(const char* text, int* width, int* height) = 0;
};
