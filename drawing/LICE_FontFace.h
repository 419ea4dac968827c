#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "LICE_IFont.h"

// One rendered character: a coverage mask (0..255) placed relative to the pen on the baseline.
struct LICE_Glyph {
    int left = 0; // mask's left edge, right of the pen
    int top = 0;  // mask's top edge, above the baseline
    int width = 0;
    int height = 0;
    int advance = 0; // pen movement to the next character
    std::vector<std::uint8_t> coverage;
};

// An opened typeface at one size that renders single characters for the glyph cache. On Linux the face
// comes from FreeType, found through fontconfig, so "Arial" and "Verdana" resolve to the installed
// metric-compatible or similar faces. On Windows GDI rasterises the characters of a Windows font. GUI
// thread.
class LICE_FontFace {
  public:
    ~LICE_FontFace();
    LICE_FontFace(const LICE_FontFace&) = delete;
    LICE_FontFace& operator=(const LICE_FontFace&) = delete;

    // Pixels above and below the baseline; their sum is the line height.
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    // The family of the face actually opened ("Liberation Sans" for "Arial" where Arial is missing).
    const char* FamilyName() const;
    // Renders one character; a character the face lacks gives its missing-glyph box.
    bool RenderGlyph(char32_t character, LICE_Glyph* glyph);

#ifdef _WIN32
    // Takes ownership of `font` (an HFONT): deleted with the face, or at once when null is returned (a
    // handle that is not a font is left alone). When GDI has no face of the font's name (as under Wine,
    // which falls back to one default), a similar installed design is used in its place where one is known.
    static std::unique_ptr<LICE_FontFace> FromWindowsFont(void* font);
#else
    // Null when no face could be found or opened for the request.
    static std::unique_ptr<LICE_FontFace> Open(const LICE_FontSpec& spec);
#endif

  private:
    struct Handles;
    explicit LICE_FontFace(std::unique_ptr<Handles> handles, bool antialiased);

    std::unique_ptr<Handles> handles_;
    bool antialiased_ = true;
    int ascent_ = 0;
    int descent_ = 0;
};
