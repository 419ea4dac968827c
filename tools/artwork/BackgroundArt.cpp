#include <cmath>
#include <cstdint>

#include "ArtStyle.h"
#include "Artwork.h"
#include "EditorLayout.h"
#include "ParameterTable.h"

using namespace ArtStyle;
using EditorLayout::Control;
using EditorLayout::ControlKind;

namespace {

struct Box {
    double left, top, right, bottom;
    bool Overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

// What the background prints over a control: a caption above it, by parameter.
const char* CaptionFor(int param) {
    switch (param) {
    case kPreDelay:
        return "PRE-DELAY";
    case kTime:
        return "DECAY TIME";
    case kFreq:
        return "DAMPING";
    case kSpace:
        return "SPACE";
    case kSurface:
        return "SURFACE";
    case kStereo:
        return "STEREO";
    case kSpaceAccent:
        return "SPACE ACCENT";
    case kSurfaceAccent:
        return "SURFACE ACCENT";
    case kDiffuse:
        return "DIFFUSION";
    case kAttack:
        return "ATTACK";
    case kSize:
        return "SIZE";
    case kEqType:
        return "FILTER 1";
    case kEq2Type:
        return "FILTER 2";
    case kEqMode:
        return "ROUTING";
    case kEqFreq:
    case kEq2Freq:
        return "FREQ";
    case kEqGain:
    case kEq2Gain:
        return "GAIN";
    case kEqBandwidth:
    case kEq2Bandwidth:
        return "WIDTH";
    case kDryMix:
        return "DRY";
    case kWetMix:
        return "WET";
    default:
        return nullptr;
    }
}

constexpr double kCaptionSize = 9.0;
constexpr double kCaptionSpacing = 0.9;

// Brushed-metal grain: faint horizontal streaks from a fixed sequence, the same on every run.
void PaintGrain(cairo_t* cr, int width, int height) {
    std::uint32_t state = 0x9E3779B9u;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    cairo_set_line_width(cr, 1.0);
    for (int y = 0; y < height; ++y) {
        const double a = 0.012 + (next() % 1000) / 1000.0 * 0.02;
        const bool light = next() & 1;
        cairo_set_source_rgba(cr, light ? 1 : 0, light ? 1 : 0, light ? 1 : 0, a);
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, width, y + 0.5);
        cairo_stroke(cr);
    }
}

void PaintPanel(cairo_t* cr, double x, double y, double w, double h) {
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 6);
    SetColor(cr, Hex(0x000000), 0.18);
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000), 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    RoundedRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, 5);
    SetColor(cr, Hex(0xFFFFFF), 0.04);
    cairo_stroke(cr);
}

void PaintTitlePlate(cairo_t* cr, const Control& link) {
    const double x = link.left, y = link.top, w = link.right - link.left, h = link.bottom - link.top;
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(plate, 0, 0.20, 0.22, 0.26);
    cairo_pattern_add_color_stop_rgb(plate, 1, 0.12, 0.13, 0.16);
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 6);
    cairo_set_source(cr, plate);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(plate);
    SetColor(cr, Hex(0x000000), 0.6);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    RoundedRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, 5);
    SetColor(cr, Hex(0xFFFFFF), 0.07);
    cairo_stroke(cr);

    const double cx = x + w / 2.0;
    SetFont(cr, kTitleFace, 21.0, true);
    SetColor(cr, Hex(0xF2F5F8));
    DrawText(cr, "HALVANE", cx, y + 28.0, Align::Centre, 4.5);
    // A thin accent rule between the name and its line of description.
    SetColor(cr, kAccent, 0.9);
    cairo_rectangle(cr, cx - 32, y + 33, 64, 1);
    cairo_fill(cr);
    SetFont(cr, kCaptionFace, 7.5, true);
    SetColor(cr, kCaption);
    DrawText(cr, "STEREO ALGORITHMIC REVERB", cx, y + 43.0, Align::Centre, 1.2);
}

// Concentric arcs: the maker's small mark beside the version.
void PaintMark(cairo_t* cr, double cx, double cy) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.6);
    const double radii[] = {3.0, 6.5, 10.0};
    for (int i = 0; i < 3; ++i) {
        SetColor(cr, kAccent, 1.0 - i * 0.28);
        ArcDegrees(cr, cx, cy, radii[i], 20, 160);
        cairo_stroke(cr);
    }
    SetColor(cr, kAccent);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, 1.6, 0, 2 * M_PI);
    cairo_fill(cr);
}

Box ControlBox(const Control& c) {
    return {static_cast<double>(c.left), static_cast<double>(c.top), static_cast<double>(c.right),
            static_cast<double>(c.bottom)};
}

} // namespace

namespace Artwork {

bool PaintBackground(cairo_t* cr, std::vector<std::string>* problems) {
    const int W = EditorLayout::kWidth, H = EditorLayout::kHeight;
    UseCrispText(cr);

    cairo_pattern_t* base = cairo_pattern_create_linear(0, 0, 0, H);
    cairo_pattern_add_color_stop_rgb(base, 0, kPanelTop.r, kPanelTop.g, kPanelTop.b);
    cairo_pattern_add_color_stop_rgb(base, 1, kPanelBottom.r, kPanelBottom.g, kPanelBottom.b);
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);
    PaintGrain(cr, W, H);

    // Header and footer bands, a shade darker, with engraved edges.
    SetColor(cr, Hex(0x000000), 0.22);
    cairo_rectangle(cr, 0, 0, W, 66);
    cairo_rectangle(cr, 0, 388, W, H - 388);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, Hex(0x000000), 0.5);
    cairo_move_to(cr, 0, 66.5);
    cairo_line_to(cr, W, 66.5);
    cairo_move_to(cr, 0, 387.5);
    cairo_line_to(cr, W, 387.5);
    cairo_stroke(cr);
    SetColor(cr, Hex(0xFFFFFF), 0.06);
    cairo_move_to(cr, 0, 67.5);
    cairo_line_to(cr, W, 67.5);
    cairo_move_to(cr, 0, 388.5);
    cairo_line_to(cr, W, 388.5);
    cairo_stroke(cr);

    // The space section in the middle: the three lists and the placement slider.
    PaintPanel(cr, 176, 78, 162, 196);

    const Control* version = nullptr;
    std::vector<Box> used;
    for (const Control& c : EditorLayout::kControls) {
        if (c.kind == ControlKind::Link)
            PaintTitlePlate(cr, c);
        if (c.kind == ControlKind::VersionText)
            version = &c;
        if (c.kind != ControlKind::Link && c.kind != ControlKind::ThresholdLabel &&
            c.kind != ControlKind::VersionText)
            used.push_back(ControlBox(c));
    }

    // Left of the version label, the mark; at the right end of the header, the maker's name.
    if (version) {
        PaintMark(cr, version->left - 18.0, version->top + 12.0);
        SetFont(cr, kCaptionFace, 11.0, true);
        SetColor(cr, kCaption);
        DrawText(cr, "VORKESH", W - 20.0, version->top + 12.0, Align::Right, 3.0);
    }

    const auto& params = ParamTable();
    bool ok = true;
    std::vector<Box> captions;
    for (const Control& c : EditorLayout::kControls) {
        if (c.kind == ControlKind::Knob) {
            const EditorLayout::ImageResource* image = EditorLayout::FindImage(c.image);
            PaintKnobBase(cr, c.x, c.y, image->height, params[static_cast<size_t>(c.param)].label);
        } else if (c.kind == ControlKind::DropDown) {
            // A bezel around the display the strip draws into.
            RoundedRect(cr, c.left - 1.5, c.top - 0.5, c.right - c.left + 3, c.bottom - c.top + 1, 4);
            SetColor(cr, Hex(0x000000), 0.45);
            cairo_fill(cr);
        } else if (c.kind == ControlKind::Switch) {
            RoundedRect(cr, c.left - 2.5, c.top - 2.5, c.right - c.left + 5, c.bottom - c.top + 5, 6);
            SetColor(cr, Hex(0x000000), 0.45);
            cairo_fill(cr);
        } else if (c.kind == ControlKind::Slider && c.param == kStereoPosition) {
            // The groove the handle runs in, with its ends and centre marked.
            const double y = c.top + 6.5;
            RoundedRect(cr, c.left + 2, y - 2, c.right - c.left - 4, 4, 2);
            SetColor(cr, kWell);
            cairo_fill(cr);
            cairo_set_line_width(cr, 1.0);
            SetColor(cr, kUnit);
            const double mid = (c.left + c.right) / 2.0;
            for (double x : {c.left + 7.0, mid, c.right - 7.0}) {
                cairo_move_to(cr, std::floor(x) + 0.5, y + 4);
                cairo_line_to(cr, std::floor(x) + 0.5, y + 7);
            }
            cairo_stroke(cr);
            SetFont(cr, kCaptionFace, 8.0, true);
            SetColor(cr, kCaption);
            DrawText(cr, "L", c.left - 4.0, y + 3.0, Align::Right);
            DrawText(cr, "R", c.right + 4.0, y + 3.0, Align::Left);
        }

        const char* caption = c.param >= 0 ? CaptionFor(c.param) : nullptr;
        if (!caption)
            continue;
        const bool section = c.kind == ControlKind::DropDown && (c.param == kEqType || c.param == kEq2Type);
        SetFont(cr, kCaptionFace, kCaptionSize, true);
        SetColor(cr, section ? kAccent : kCaption);
        const double cx = (c.left + c.right) / 2.0;
        const double baseline = c.top - 4.0;
        // Long captions close up a little to keep clear of the neighbouring knobs.
        const double spacing = std::string(caption).size() > 11 ? 0.3 : kCaptionSpacing;
        DrawText(cr, caption, cx, baseline, Align::Centre, spacing);

        const double w = TextWidth(cr, caption, spacing);
        const Box box{std::round(cx - w / 2.0), baseline - CapHeight(cr), std::round(cx - w / 2.0) + w,
                      baseline};
        for (const Box& other : used) {
            if (box.Overlaps(other)) {
                ok = false;
                if (problems)
                    problems->push_back(std::string("caption ") + caption + " overlaps a control");
            }
        }
        for (const Box& other : captions) {
            if (box.Overlaps(other)) {
                ok = false;
                if (problems)
                    problems->push_back(std::string("caption ") + caption + " overlaps another caption");
            }
        }
        if (box.left < 2 || box.right > W - 2) {
            ok = false;
            if (problems)
                problems->push_back(std::string("caption ") + caption + " runs off the face");
        }
        captions.push_back(box);
    }

    // A hairline above each filter's knobs, keeping the filter rows apart from the reverb above.
    cairo_set_line_width(cr, 1.0);
    SetColor(cr, Hex(0x000000), 0.45);
    cairo_move_to(cr, 14, 309.5);
    cairo_line_to(cr, 220, 309.5);
    cairo_move_to(cr, 294, 309.5);
    cairo_line_to(cr, 500, 309.5);
    cairo_stroke(cr);
    SetColor(cr, Hex(0xFFFFFF), 0.05);
    cairo_move_to(cr, 14, 310.5);
    cairo_line_to(cr, 220, 310.5);
    cairo_move_to(cr, 294, 310.5);
    cairo_line_to(cr, 500, 310.5);
    cairo_stroke(cr);
    return ok;
}

} // namespace Artwork
