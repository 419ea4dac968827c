#include "HalvaneEditor.h"

#include <string>

#include "EditorLayout.h"
#include "IBypass.h"
#include "IDropDown.h"
#include "IGraphics.h"
#include "IKnobRotVal.h"
#include "ILabelPrm.h"
#include "IPlugBase.h"
#include "ISliderImg.h"
#include "ISwitchControl.h"
#include "ITextControl.h"
#include "IURLOpen.h"
#include "PlatformSurface.h"

#ifndef HALVANE_MAKER_URL
#error "HALVANE_MAKER_URL is set by the build"
#endif

using namespace EditorLayout;

namespace {

TextStyle StyleOf(const TextLook& look) {
    return TextStyle(look.font, look.size, ArgbColor{look.a, look.r, look.g, look.b}, 0, look.align);
}

void Load(IGraphics& surface, ImageStrip* strip, int id) {
    const ImageResource* image = FindImage(id);
    surface.LoadStrip(strip, id, image ? image->name : "", image ? image->frames : 1);
}

// The knob images, split once: the ring strips the knobs hold, by image id.
struct KnobImages {
    ImageStrip small, filter, large;

    const ImageStrip& For(int id) const {
        return id == kImgKnobFilter ? filter : (id == kImgKnobLarge ? large : small);
    }
};

} // namespace

IGraphics* BuildHalvaneEditor(IPlugBase* plugin, void* module, IBypass** lamp) {
    IGraphics* surface = MakePlatformSurface(plugin, kWidth, kHeight, 0, module);
    AddHalvaneControls(*surface, plugin, lamp);
    return surface;
}

void AddHalvaneControls(IGraphics& editor, IPlugBase* plugin, IBypass** lamp) {
    IGraphics* surface = &editor;
    surface->AddBackground(kImgBackground, FindImage(kImgBackground)->name);

    const TextStyle valueStyle = StyleOf(kValueText);
    KnobImages knobs;
    ImageStrip pointer;
    Load(*surface, &knobs.small, kImgKnob);
    surface->SplitStrip(&pointer, &knobs.small, kKnobSplit);
    Load(*surface, &knobs.filter, kImgKnobFilter);
    surface->SplitStrip(&pointer, &knobs.filter, kKnobSplit);
    Load(*surface, &knobs.large, kImgKnobLarge);
    surface->SplitStrip(&pointer, &knobs.large, kKnobSplit);

    for (int i = 0; i < kControlCount; ++i) {
        const Control& c = kControls[i];
        const PixelRect rect{c.left, c.top, c.right, c.bottom};
        switch (c.kind) {
        case ControlKind::VersionText: {
            std::string version = plugin->VersionText(); // v2.10 is shown as v2.1
            if (!version.empty())
                version.pop_back();
            surface->AddControl(new ITextControl(plugin, rect, StyleOf(kVersionText), version.c_str()));
            break;
        }
        case ControlKind::ThresholdLabel: {
            const TextStyle style = StyleOf(kThresholdText);
            surface->AddControl(
                new ILabelPrm(plugin, c.param, rect, style, style, kThresholdCaption, kThresholdEditCaption));
            break;
        }
        case ControlKind::ActivityLamp: {
            auto* bypass = new IBypass(plugin, c.x, c.y, kLampRadius);
            surface->AddControl(bypass);
            if (lamp)
                *lamp = bypass;
            break;
        }
        case ControlKind::Link:
            surface->AddControl(new IURLOpen(plugin, rect, HALVANE_MAKER_URL));
            break;
        case ControlKind::Knob:
            surface->AddControl(new IKnobRotVal(plugin, c.param, c.x, c.y, knobs.For(c.image), valueStyle,
                                                c.textOffset, static_cast<int>(kKnobSweepDegrees),
                                                kKnobGearing, 0, IKnobControl::kVertical, c.hover, false, 0));
            break;
        case ControlKind::DropDown: {
            ImageStrip face, list;
            Load(*surface, &face, c.image);
            Load(*surface, &list, c.listImage);
            surface->AddControl(
                new IDropDown(plugin, c.param, c.x, c.y, face, list, c.columns, c.listPlacement));
            break;
        }
        case ControlKind::Slider: {
            ImageStrip handle;
            Load(*surface, &handle, c.image);
            surface->AddControl(new ISliderImg(plugin, c.param, rect, handle, valueStyle, kSliderTrackLength,
                                               true, kSliderIdleDimming));
            // Both placement sliders share one place: only the one "Stereo" calls for shows.
            if (i + 1 < kControlCount && kControls[i + 1].kind != ControlKind::Slider)
                surface->HideParamControls(kMonoPosition, true);
            break;
        }
        case ControlKind::Switch: {
            ImageStrip strip;
            Load(*surface, &strip, c.image);
            const ImageResource* image = FindImage(c.image);
            surface->AddControl(new ISwitchControl(plugin, c.x, c.y, c.param, strip, kBlendNormal,
                                                   image && image->sideBySide ? 1 : 0));
            break;
        }
        }
    }
    surface->EnableHover(true);
}
