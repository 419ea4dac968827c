#pragma once

#include <memory>
#include <string>

#include "LICE_TextRenderer.h"

// Text drawn by GDI (Windows only). GDI writes no alpha, so each line is drawn white on black into a
// section of its own and the result serves as the coverage with which the colour is laid over the
// destination; ClearType's per-channel coverage is kept. GUI thread.
class LICE_NativeText : public LICE_TextRenderer {
  public:
    // Takes ownership of `font` (an HFONT): deleted with the renderer, or at once when null is returned (a
    // handle that is not a font is left alone).
    static std::unique_ptr<LICE_NativeText> FromWindowsFont(void* font);
    ~LICE_NativeText() override;
    LICE_NativeText(const LICE_NativeText&) = delete;
    LICE_NativeText& operator=(const LICE_NativeText&) = delete;

    int Ascent() const override { return ascent_; }
    int Descent() const override { return descent_; }
    const char* FamilyName() const override { return family_.c_str(); }
    bool Native() const override { return true; }
    std::int64_t Advance(const std::u32string& text) override;
    void Render(const std::u32string& text, std::int64_t penX, std::int64_t baseline,
                LICE_TextTarget& target) override;

  private:
    struct Handles;
    explicit LICE_NativeText(std::unique_ptr<Handles> handles);

    std::unique_ptr<Handles> handles_;
    std::string family_;
    int ascent_ = 0;
    int descent_ = 0;
};
