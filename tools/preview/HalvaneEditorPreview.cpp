// halvane-editor-preview OUTPUT.png: composes the editor's face at its parameters' defaults from the
// module's images, with the drawing layer's own calls, the way the editor draws it.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "EditorLayout.h"
#include "LICE_Blit.h"
#include "LICE_CachedFont.h"
#include "LICE_PNG.h"
#include "LICE_Shapes.h"
#include "LICE_SysBitmap.h"
#include "ParamSpecFromTable.h"

namespace {

using namespace EditorLayout;

constexpr double kPi = 3.14159265358979323846;
constexpr int kSourceAlpha = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

double NormalizedDefault(const IParamSpec& p) {
    return p.NormalizedFromPlain(p.Default());
}

// The text a control shows for its parameter's default value.
std::string DisplayText(const IParamSpec& p, bool withUnit) {
    std::string text = p.FormatForDisplay(p.Default(), false);
    if (withUnit && p.Label()[0])
        text += std::string(" ") + p.Label();
    return text;
}

struct Fonts {
    std::unique_ptr<LICE_CachedFont> value;
    std::unique_ptr<LICE_CachedFont> small;
};

void DrawLabel(LICE_IBitmap* dest, LICE_CachedFont* font, LICE_pixel color, const std::string& text,
               const LICE_Rect& rect, int align) {
    if (!font || text.empty())
        return;
    font->SetTextColor(color);
    int flags = LICE_DT_NOCLIP | align;
    if (LICE_GETA(color) != 255)
        flags |= LICE_DT_USEFGALPHA;
    font->DrawText(dest, text.c_str(), rect, flags);
}

std::unique_ptr<LICE_MemBitmap> Load(int id) {
    return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGResource(nullptr, id));
}

// The left half of a knob image: the pointer the knob turns.
std::unique_ptr<LICE_MemBitmap> PointerHalf(const LICE_MemBitmap& knob) {
    const int cut = knob.Width() / 2;
    auto half = std::make_unique<LICE_MemBitmap>(cut, knob.Height());
    LICE_Blit(half.get(), &knob, 0, 0, 0, 0, cut, knob.Height(), 1.0f, LICE_BLIT_MODE_COPY);
    return half;
}

void DrawKnob(LICE_IBitmap* dest, const Control& c, const LICE_MemBitmap& pointer, const IParamSpec& p,
              LICE_CachedFont* font) {
    const LICE_pixel valueColor = LICE_RGBA(255, 255, 255, 230);
    const LICE_Rect band{c.left, c.bottom - kValueTextSize + c.textOffset, c.right, c.bottom + c.textOffset};
    DrawLabel(dest, font, valueColor, DisplayText(p, false), band, LICE_DT_CENTER);

    const double value = NormalizedDefault(p);
    const float half = static_cast<float>(kKnobSweepDegrees * kPi / 360.0);
    const float angle = half * static_cast<float>(2.0 * value) - half;
    const float shift = static_cast<float>(-2.0 * std::fabs(value - 0.5));
    const float w = static_cast<float>(pointer.Width()), h = static_cast<float>(pointer.Height());
    LICE_RotatedBlit(dest, &pointer, static_cast<float>(c.x) - w / 2, static_cast<float>(c.y) - h / 2, w, h,
                     shift, shift, w, h, angle, 1.0f, kSourceAlpha);
}

void DrawDropDown(LICE_IBitmap* dest, const Control& c, const LICE_MemBitmap& strip,
                  const ImageResource& image, const IParamSpec& p) {
    const int frames = image.frames;
    const double value = NormalizedDefault(p);
    const int frame = RoundHalfAwayFromZero((frames - 1) * value) + 1;
    const int frameHeight = RoundHalfAwayFromZero(static_cast<double>(strip.Height()) / frames);
    const int srcY = frame >= 2 ? static_cast<int>(strip.Height() * (frame - 1.0) / frames + 0.5) : 0;
    LICE_Blit(dest, &strip, c.left, c.top + 1, 0, srcY, strip.Width(), frameHeight, 1.0f, kSourceAlpha);
}

void DrawSlider(LICE_IBitmap* dest, const Control& c, const LICE_MemBitmap& handle, const IParamSpec& p,
                LICE_CachedFont* font) {
    const LICE_Rect band{c.left, c.bottom - kValueTextSize, c.right, c.bottom};
    DrawLabel(dest, font, LICE_RGBA(255, 255, 255, 230), DisplayText(p, true), band, LICE_DT_CENTER);
    const int trackLength = 128;
    const double centre = (c.left + c.right) * 0.5;
    const int areaLeft = RoundHalfAwayFromZero(centre - trackLength / 2);
    const int travel = trackLength - handle.Width();
    const double hx = travel * NormalizedDefault(p) + areaLeft;
    // Idle handles are dimmed while the editor tracks the mouse.
    LICE_Blit(dest, &handle, RoundHalfAwayFromZero(hx), c.top, 0, 0, handle.Width(), handle.Height(), 0.8f,
              kSourceAlpha);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: halvane-editor-preview OUTPUT.png\n");
        return 2;
    }
    IParamSpec params[kNumParams];
    for (int i = 0; i < kNumParams; ++i)
        DefineParamSpec(params[i], ParamTable()[static_cast<size_t>(i)]);
    LICE_SysBitmap face(kWidth, kHeight);

    std::unique_ptr<LICE_MemBitmap> images[kImageCount];
    for (int i = 0; i < kImageCount; ++i) {
        images[i] = Load(kImages[i].id);
        if (!images[i] || images[i]->Width() != kImages[i].width ||
            images[i]->Height() != kImages[i].height) {
            std::fprintf(stderr, "halvane-editor-preview: image %d missing or of the wrong size\n",
                         kImages[i].id);
            return 1;
        }
    }
    auto image = [&](int id) -> const LICE_MemBitmap& { return *images[FindImage(id) - kImages]; };

    LICE_Blit(&face, &image(kImgBackground), 0, 0, 0, 0, kWidth, kHeight, 1.0f, LICE_BLIT_MODE_COPY);

    LICE_FontSpec valueSpec;
    valueSpec.face = "Arial";
    valueSpec.height = 16;
    LICE_FontSpec smallSpec;
    smallSpec.face = "Verdana";
    smallSpec.height = 13;
    std::unique_ptr<LICE_CachedFont> valueFont(LICE_CachedFont::Create(valueSpec));
    std::unique_ptr<LICE_CachedFont> smallFont(LICE_CachedFont::Create(smallSpec));
    if (!valueFont || !smallFont) {
        std::fprintf(stderr, "halvane-editor-preview: fonts not available\n");
        return 1;
    }
    std::unique_ptr<LICE_MemBitmap> pointers[3] = {
        PointerHalf(image(kImgKnob)), PointerHalf(image(kImgKnobFilter)), PointerHalf(image(kImgKnobLarge))};
    const LICE_pixel faint = LICE_RGBA(255, 255, 255, 100);
    const bool monoPlacement = params[kStereo].Default() == 0.0;

    for (const Control& c : kControls) {
        const IParamSpec* p = c.param >= 0 ? &params[c.param] : nullptr;
        switch (c.kind) {
        case ControlKind::VersionText:
            DrawLabel(&face, smallFont.get(), faint, "v2.1", {c.left, c.top, c.right, c.bottom},
                      LICE_DT_LEFT);
            break;
        case ControlKind::ThresholdLabel: {
            const int a = RoundHalfAwayFromZero((c.bottom - c.top - 13) * 0.5);
            DrawLabel(&face, smallFont.get(), faint, "bypass", {c.left, c.top + a, c.right, c.bottom},
                      LICE_DT_RIGHT);
            break;
        }
        case ControlKind::ActivityLamp:
            // Off (red) until the engine reports that it processes.
            LICE_FillCircle(&face, static_cast<float>(c.left + c.right) * 0.5f,
                            static_cast<float>(c.top + c.bottom) * 0.5f,
                            static_cast<float>(c.right - c.left - 2) * 0.5f, LICE_RGBA(255, 55, 55, 250),
                            250.0f / 255.0f, LICE_BLIT_MODE_COPY, true);
            break;
        case ControlKind::Link:
            break;
        case ControlKind::Knob: {
            const int which = c.image == kImgKnob ? 0 : c.image == kImgKnobFilter ? 1 : 2;
            DrawKnob(&face, c, *pointers[which], *p, valueFont.get());
            break;
        }
        case ControlKind::DropDown:
            DrawDropDown(&face, c, image(c.image), *FindImage(c.image), *p);
            break;
        case ControlKind::Slider:
            if ((c.param == kMonoPosition) == monoPlacement)
                DrawSlider(&face, c, image(c.image), *p, valueFont.get());
            break;
        case ControlKind::Switch:
            LICE_Blit(&face, &image(c.image), c.left, c.top, 0, 0, c.right - c.left, c.bottom - c.top, 1.0f,
                      kSourceAlpha);
            break;
        }
    }
    if (!LICE_WritePNG(argv[1], &face)) {
        std::fprintf(stderr, "halvane-editor-preview: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
