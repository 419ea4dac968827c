#pragma once

// The effect's parameter set, one row per parameter: the plug-in defines its parameters from it, and
// the tests, benchmarks, artwork and editor preview read their names, ranges and defaults here.

#include <array>
#include <cstddef>

#include "EngineParams.h"

enum class ParamKind { Integer, Enumerated, Real };

// One row of the effect's parameter set. Enumerated rows take their range from their texts.
struct ParamDefinition {
    ParamIndex index;
    const char* name;
    ParamKind kind;
    double defaultValue;
    double minimum;
    double maximum;
    double step;
    const char* label;
    double shape;
    const char* const* texts; // one per value, in value order (enumerated rows only)
    int textCount;
};

namespace ParamTexts {

inline constexpr const char* kSpaceTexts[] = {
    "Stadium",
    "Stadium 2",
    "Arena",
    "Arena 2",
    "Arena Tremolo",
    "Arena Tremolo 2",
    "Cathedral",
    "Cathedral 2",
    "Cathedral Tremolo",
    "Hallway",
    "Hallway 2",
    "Corridor",
    "Corridor 2",
    "Spiral Stairs",
    "Spiral Stairs 2",
    "Spiral Stairs Tremolo",
    "Mountain",
    "Mountain 2",
    "Mountain Tremolo",
    "Canion",
    "Cave",
    "Cave 2",
    "Forest",
    "Forest 2",
    "Forest 3",
    "Chamber",
    "Chamber 2",
    "Chamber Tremolo",
    "Metallic Large",
    "Metallic Large 2",
    "Metallic Hallway",
    "Metallic Hallway 2",
    "Metallic Room",
    "Metallic Box",
    "Metalic Short",
    "Random",
    "Random 2",
    "Special Soft",
    "Special Tremolo",
    "Special Tremolo 2",
    "Special Birds",
    "Special Birds 2",
    "Special Fly",
    "Special Fly 2",
    "Special Fly 3",
    "Special Fireworks",
    "Special Fireworks 2",
    "Special Ratchet",
    "Special Ratchet 2",
    "Special Ratchet 3",
    "Special Energy",
    "Special Energy 2",
    "Special Energy 3",
    "Special Explosion",
    "Special Explosion 2",
    "Special Explosion 3",
    "Special Explosion 4",
    "Special Explosion 5",
    "Special Explosion 6",
    "Special Explosion 7",
};
inline constexpr const char* kSurfaceTexts[] = {
    "Smooth",   "Waves",       "Waves 2",       "Waves 3",       "Granulated", "Granulated 2",
    "Rippled",  "Rippled 2",   "Rippled 3",     "Rippled 4",     "Zigzag",     "Zigzag 2",
    "Zigzag 3", "Rich Zigzag", "Rich Zigzag 2", "Rich Zigzag 3",
};
inline constexpr const char* kStereoTexts[] = {
    "Mono", "Wide", "Inflate", "Squeeze", "Cone", "Reverse Cone", "Steps", "Reverse Steps",
};
inline constexpr const char* kStereoPositionTexts[] = {
    "Left", "From Left", "Wide Left", "Middle", "Wide Right", "From Right", "Right",
};
inline constexpr const char* kEqTypeTexts[] = {"Off", "Peak", "Lowshelf", "Highshelf"};
inline constexpr const char* kEqModeTexts[] = {"Parallel", "Serie", "Alternate", "Out Parallel", "Out Serie"};

} // namespace ParamTexts

namespace ParamRows {

constexpr ParamDefinition Integer(ParamIndex index, const char* name, double def, double min, double max,
                                  const char* label, double shape = 1.0) {
    return {index, name, ParamKind::Integer, def, min, max, 1.0, label, shape, nullptr, 0};
}
constexpr ParamDefinition Real(ParamIndex index, const char* name, double def, double min, double max,
                               double step, const char* label, double shape = 1.0) {
    return {index, name, ParamKind::Real, def, min, max, step, label, shape, nullptr, 0};
}
template <std::size_t N>
constexpr ParamDefinition Enumerated(ParamIndex index, const char* name, double def,
                                     const char* const (&texts)[N]) {
    return {index, name, ParamKind::Enumerated, def, 0.0, N - 1.0, 1.0, "", 1.0, texts, static_cast<int>(N)};
}

} // namespace ParamRows

inline constexpr std::array<ParamDefinition, kNumParams> kParamTable = [] {
    using namespace ParamRows;
    using namespace ParamTexts;
    return std::array<ParamDefinition, kNumParams>{{
        Integer(kPreDelay, "Pre Delay", 20, 0, 1000, "ms"),
        Real(kTime, "Time", 3.0, 0.1, 80.0, 0.1, "s", 2.0),
        Integer(kFreq, "Freq", 8000, 20, 18000, "Hz", 2.0),
        Enumerated(kSpace, "Space", 0, kSpaceTexts),
        Enumerated(kSurface, "Surface", 0, kSurfaceTexts),
        Enumerated(kStereo, "Stereo", 1, kStereoTexts),
        Integer(kMonoPosition, "Mono Position", 0, -100, 100, "%"),
        Enumerated(kStereoPosition, "Stereo Position", 2, kStereoPositionTexts),
        Integer(kSpaceAccent, "Space Accent", 100, 0, 100, "%"),
        Integer(kSurfaceAccent, "Surface Accent", 90, 0, 100, "%"),
        Integer(kDiffuse, "Diffuse", 20, 0, 100, "%"),
        Integer(kAttack, "Attack", 50, 0, 100, "%"),
        Integer(kSize, "Size", 100, 0, 100, "%"),
        Enumerated(kEqType, "EQ Type", 0, kEqTypeTexts),
        Integer(kEqFreq, "EQ Freq", 2000, 20, 20000, "Hz", 2.0),
        Integer(kEqBandwidth, "EQ Bandwidth", 50, 1, 100, "%"),
        Real(kEqGain, "EQ Gain", 6.0, -16.0, 16.0, 0.1, "dB"),
        Enumerated(kEqMode, "EQ Mode", 0, kEqModeTexts),
        Enumerated(kEq2Type, "EQ2 Type", 1, kEqTypeTexts),
        Integer(kEq2Freq, "EQ2 Freq", 6000, 20, 20000, "Hz", 2.0),
        Integer(kEq2Bandwidth, "EQ2 Bandwidth", 75, 1, 100, "%"),
        Real(kEq2Gain, "EQ2 Gain", 6.0, -16.0, 16.0, 0.1, "dB"),
        Integer(kDryMix, "Dry Mix", 60, 0, 100, "%"),
        Integer(kWetMix, "Wet Mix", 50, 0, 100, "%"),
        Integer(kBypassCeil, "Bypass Ceil", -60, -100, -50, "dB"),
    }};
}();

// Row i describes parameter i.
static_assert(kParamTable[kPreDelay].index == kPreDelay);
static_assert(kParamTable[kTime].index == kTime);
static_assert(kParamTable[kFreq].index == kFreq);
static_assert(kParamTable[kSpace].index == kSpace);
static_assert(kParamTable[kSurface].index == kSurface);
static_assert(kParamTable[kStereo].index == kStereo);
static_assert(kParamTable[kMonoPosition].index == kMonoPosition);
static_assert(kParamTable[kStereoPosition].index == kStereoPosition);
static_assert(kParamTable[kSpaceAccent].index == kSpaceAccent);
static_assert(kParamTable[kSurfaceAccent].index == kSurfaceAccent);
static_assert(kParamTable[kDiffuse].index == kDiffuse);
static_assert(kParamTable[kAttack].index == kAttack);
static_assert(kParamTable[kSize].index == kSize);
static_assert(kParamTable[kEqType].index == kEqType);
static_assert(kParamTable[kEqFreq].index == kEqFreq);
static_assert(kParamTable[kEqBandwidth].index == kEqBandwidth);
static_assert(kParamTable[kEqGain].index == kEqGain);
static_assert(kParamTable[kEqMode].index == kEqMode);
static_assert(kParamTable[kEq2Type].index == kEq2Type);
static_assert(kParamTable[kEq2Freq].index == kEq2Freq);
static_assert(kParamTable[kEq2Bandwidth].index == kEq2Bandwidth);
static_assert(kParamTable[kEq2Gain].index == kEq2Gain);
static_assert(kParamTable[kDryMix].index == kDryMix);
static_assert(kParamTable[kWetMix].index == kWetMix);
static_assert(kParamTable[kBypassCeil].index == kBypassCeil);

static_assert(std::size(ParamTexts::kSpaceTexts) == 60, "60 spaces");
static_assert(std::size(ParamTexts::kSurfaceTexts) == 16, "16 surfaces");
static_assert(std::size(ParamTexts::kStereoTexts) == 8, "8 stereo modes");
static_assert(std::size(ParamTexts::kStereoPositionTexts) == 7, "7 stereo positions");

constexpr const std::array<ParamDefinition, kNumParams>& ParamTable() {
    return kParamTable;
}

// The plain defaults in index order.
constexpr std::array<double, kNumParams> ParamDefaults() {
    std::array<double, kNumParams> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = kParamTable[i].defaultValue;
    return values;
}
