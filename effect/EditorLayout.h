#pragma once

#include "EngineParams.h"

// The editor's images and the 28 controls on its 514 x 420 face, as data: the editor builds its controls
// from it, the artwork generator places captions by it, the preview and the editor tests find controls by it.
namespace EditorLayout {

constexpr int kWidth = 514;
constexpr int kHeight = 420;

// Resource ids of the module's PNG images.
enum ImageId : int {
    kImgBackground = 100,
    kImgKnob = 101,
    kImgKnobFilter = 102,
    kImgKnobLarge = 103,
    kImgSpace = 104,
    kImgSpaceList = 105,
    kImgSurface = 106,
    kImgSurfaceList = 107,
    kImgStereo = 108,
    kImgStereoList = 109,
    kImgFilterType = 110,
    kImgFilterTypeList = 111,
    kImgSlider = 112,
    kImgSwitch = 113,
};

// One image: its id, the name given when it is loaded, its whole size and how its frames are laid out.
// This list is the only one: the build makes the module's resources from it, each image read from
// effect/resources/<id>_<file part of name> (cmake/EditorImages.cmake), and the artwork generator
// writes those files by it.
struct ImageResource {
    int id;
    const char* name;
    int width;
    int height;
    int frames;
    bool sideBySide; // frames left to right instead of stacked
};

constexpr int kImageCount = 14;
constexpr ImageResource kImages[kImageCount] = {
    {kImgBackground, "img/bg.png", 514, 420, 1, false},
    {kImgKnob, "img/knob.png", 92, 46, 1, false},
    {kImgKnobFilter, "img/knob2.png", 100, 50, 1, false},
    {kImgKnobLarge, "img/knob3.png", 112, 56, 1, false},
    {kImgSpace, "img/select1.png", 140, 960, 60, false},
    {kImgSpaceList, "img/select1_.png", 514, 271, 60, false},
    {kImgSurface, "img/select2.png", 90, 256, 16, false},
    {kImgSurfaceList, "img/select2_.png", 378, 73, 16, false},
    {kImgStereo, "img/select3.png", 96, 128, 8, false},
    {kImgStereoList, "img/select3_.png", 378, 37, 8, false},
    {kImgFilterType, "img/select4.png", 66, 64, 4, false},
    {kImgFilterTypeList, "img/select4_.png", 74, 73, 4, false},
    {kImgSlider, "img/slider.png", 14, 13, 1, false},
    {kImgSwitch, "img/button.png", 260, 85, 5, true},
};

constexpr const ImageResource* FindImage(int id) {
    for (const ImageResource& image : kImages)
        if (image.id == id)
            return &image;
    return nullptr;
}

enum class ControlKind { VersionText, ThresholdLabel, ActivityLamp, Link, Knob, DropDown, Slider, Switch };

// One control in attach order (control 0, the background, comes first and is not listed).
// Knobs are placed by their centre (x, y), lists and the switch by their top-left corner (x, y); `rect`
// is the rectangle that results. `param` is -1 for controls bound to no parameter.
struct Control {
    ControlKind kind;
    int param;
    int x, y;
    int left, top, right, bottom;
    int image;         // knob image, choice strip, slider handle or switch image; 0 for none
    int listImage;     // open list picture of a drop-down
    int columns;       // columns of that picture
    int listPlacement; // where the list opens: 0 below, left edges aligned; 4 below, centred
    int textOffset;    // knob value band: its bottom lies this far from the knob's bottom
    float hover;       // knob ring strength on mouse-over, negated
};

// A knob placed by its centre: its rectangle is the square of its image's height around it (the
// image holds the pointer and the ring side by side).
constexpr Control Knob(int param, int x, int y, int image, int textOffset, float hover) {
    const int size = FindImage(image)->height;
    const int left = x - size / 2, top = y - size / 2;
    return {ControlKind::Knob, param, x, y, left, top,        left + size,
            top + size,        image, 0, 0, 0,    textOffset, hover};
}

constexpr int kControlCount = 28;
constexpr Control kControls[kControlCount] = {
    {ControlKind::VersionText, -1, 0, 0, 45, 12, 95, 30, 0, 0, 0, 0, 0, 0.0f},
    {ControlKind::ThresholdLabel, kBypassCeil, 0, 0, 442, 394, 504, 410, 0, 0, 0, 0, 0, 0.0f},
    {ControlKind::ActivityLamp, -1, 452, 402, 448, 398, 456, 406, 0, 0, 0, 0, 0, 0.0f},
    {ControlKind::Link, -1, 0, 0, 161, 10, 353, 57, 0, 0, 0, 0, 0, 0.0f},
    Knob(kPreDelay, 58, 114, kImgKnob, -17, -0.15f),
    Knob(kTime, 58, 200, kImgKnobLarge, -20, -0.15f),
    Knob(kSpaceAccent, 130, 131, kImgKnob, -17, -0.15f),
    Knob(kDryMix, 130, 205, kImgKnob, -17, -0.15f),
    Knob(kSurfaceAccent, 384, 131, kImgKnob, -17, -0.15f),
    Knob(kWetMix, 384, 205, kImgKnob, -17, -0.15f),
    Knob(kDiffuse, 456, 114, kImgKnob, -17, -0.15f),
    Knob(kFreq, 456, 200, kImgKnobLarge, -20, -0.15f),
    Knob(kAttack, 41, 280, kImgKnob, -17, -0.15f),
    Knob(kSize, 473, 280, kImgKnob, -17, -0.15f),
    {ControlKind::DropDown, kSpace, 187, 101, 187, 100, 327, 118, kImgSpace, kImgSpaceList, 4, 4, 0, 0.0f},
    {ControlKind::DropDown, kSurface, 212, 157, 212, 156, 302, 174, kImgSurface, kImgSurfaceList, 4, 4, 0,
     0.0f},
    {ControlKind::DropDown, kStereo, 209, 214, 209, 213, 305, 231, kImgStereo, kImgStereoList, 4, 4, 0, 0.0f},
    {ControlKind::DropDown, kEqType, 97, 276, 97, 275, 163, 293, kImgFilterType, kImgFilterTypeList, 1, 4, 0,
     0.0f},
    {ControlKind::DropDown, kEq2Type, 348, 276, 348, 275, 414, 293, kImgFilterType, kImgFilterTypeList, 1, 0,
     0, 0.0f},
    {ControlKind::Slider, kMonoPosition, 0, 0, 194, 231, 322, 267, kImgSlider, 0, 0, 0, 0, 0.0f},
    {ControlKind::Slider, kStereoPosition, 0, 0, 194, 231, 322, 267, kImgSlider, 0, 0, 0, 0, 0.0f},
    {ControlKind::Switch, kEqMode, 230, 295, 230, 295, 282, 380, kImgSwitch, 0, 0, 0, 0, 0.0f},
    Knob(kEqFreq, 66, 355, kImgKnobFilter, -19, -0.13f),
    Knob(kEqGain, 129, 354, kImgKnob, -17, -0.15f),
    Knob(kEqBandwidth, 189, 354, kImgKnob, -17, -0.15f),
    Knob(kEq2Freq, 327, 355, kImgKnobFilter, -19, -0.13f),
    Knob(kEq2Gain, 390, 354, kImgKnob, -17, -0.15f),
    Knob(kEq2Bandwidth, 450, 354, kImgKnob, -17, -0.15f),
};

// Knob rotation: 300 degrees in all, the pointer upright at the middle of the range.
constexpr float kKnobSweepDegrees = 300.0f;
// Height of the value band of knobs and sliders (the value text's size).
constexpr int kValueTextSize = 16;
// A drag over four knob heights covers the whole range.
constexpr double kKnobGearing = 4.0;
// Knob images are cut here: the left part turns, the right part is the ring shown on mouse-over.
constexpr double kKnobSplit = 0.5;

// The placement sliders: a horizontal track of this length at the top of their rectangle; the handle
// dims by this much while the pointer is elsewhere.
constexpr int kSliderTrackLength = 128;
constexpr float kSliderIdleDimming = 0.2f;

constexpr int kLampRadius = 3;
constexpr const char* kThresholdCaption = "bypass";
constexpr const char* kThresholdEditCaption = "dB";

// The three text styles: font, character height, colour (alpha, red, green, blue), alignment
// (0 left, 1 centre, 2 right).
struct TextLook {
    const char* font;
    int size;
    int a, r, g, b;
    int align;
};
constexpr TextLook kValueText = {"Arial", kValueTextSize, 230, 255, 255, 255, 0};
constexpr TextLook kVersionText = {"Verdana", 13, 100, 255, 255, 255, 0};
constexpr TextLook kThresholdText = {"Verdana", 13, 100, 255, 255, 255, 2};

} // namespace EditorLayout
