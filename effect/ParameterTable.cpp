#include "ParameterTable.h"

#include <iterator>

namespace {

const char* const kSpaceTexts[] = {
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
const char* const kSurfaceTexts[] = {
    "Smooth",   "Waves",       "Waves 2",       "Waves 3",       "Granulated", "Granulated 2",
    "Rippled",  "Rippled 2",   "Rippled 3",     "Rippled 4",     "Zigzag",     "Zigzag 2",
    "Zigzag 3", "Rich Zigzag", "Rich Zigzag 2", "Rich Zigzag 3",
};
const char* const kStereoTexts[] = {
    "Mono", "Wide", "Inflate", "Squeeze", "Cone", "Reverse Cone", "Steps", "Reverse Steps",
};
const char* const kStereoPositionTexts[] = {
    "Left", "From Left", "Wide Left", "Middle", "Wide Right", "From Right", "Right",
};
const char* const kEqTypeTexts[] = {"Off", "Peak", "Lowshelf", "Highshelf"};
const char* const kEqModeTexts[] = {"Parallel", "Serie", "Alternate", "Out Parallel", "Out Serie"};

static_assert(std::size(kSpaceTexts) == 60, "60 spaces");
static_assert(std::size(kSurfaceTexts) == 16, "16 surfaces");
static_assert(std::size(kStereoTexts) == 8, "8 stereo modes");
static_assert(std::size(kStereoPositionTexts) == 7, "7 stereo positions");

constexpr ParamDefinition Integer(const char* name, double def, double min, double max, const char* label,
                                  double shape = 1.0) {
    return {name, ParamKind::Integer, def, min, max, 1.0, label, shape, nullptr, 0};
}
constexpr ParamDefinition Real(const char* name, double def, double min, double max, double step,
                               const char* label, double shape = 1.0) {
    return {name, ParamKind::Real, def, min, max, step, label, shape, nullptr, 0};
}
template <size_t N>
constexpr ParamDefinition Enumerated(const char* name, double def, const char* const (&texts)[N]) {
    return {name, ParamKind::Enumerated, def, 0.0, N - 1.0, 1.0, "", 1.0, texts, static_cast<int>(N)};
}

const std::array<ParamDefinition, kNumParams> kParams = {{
    Integer("Pre Delay", 20, 0, 1000, "ms"),
    Real("Time", 3.0, 0.1, 80.0, 0.1, "s", 2.0),
    Integer("Freq", 8000, 20, 18000, "Hz", 2.0),
    Enumerated("Space", 0, kSpaceTexts),
    Enumerated("Surface", 0, kSurfaceTexts),
    Enumerated("Stereo", 1, kStereoTexts),
    Integer("Mono Position", 0, -100, 100, "%"),
    Enumerated("Stereo Position", 2, kStereoPositionTexts),
    Integer("Space Accent", 100, 0, 100, "%"),
    Integer("Surface Accent", 90, 0, 100, "%"),
    Integer("Diffuse", 20, 0, 100, "%"),
    Integer("Attack", 50, 0, 100, "%"),
    Integer("Size", 100, 0, 100, "%"),
    Enumerated("EQ Type", 0, kEqTypeTexts),
    Integer("EQ Freq", 2000, 20, 20000, "Hz", 2.0),
    Integer("EQ Bandwidth", 50, 1, 100, "%"),
    Real("EQ Gain", 6.0, -16.0, 16.0, 0.1, "dB"),
    Enumerated("EQ Mode", 0, kEqModeTexts),
    Enumerated("EQ2 Type", 1, kEqTypeTexts),
    Integer("EQ2 Freq", 6000, 20, 20000, "Hz", 2.0),
    Integer("EQ2 Bandwidth", 75, 1, 100, "%"),
    Real("EQ2 Gain", 6.0, -16.0, 16.0, 0.1, "dB"),
    Integer("Dry Mix", 60, 0, 100, "%"),
    Integer("Wet Mix", 50, 0, 100, "%"),
    Integer("Bypass Ceil", -60, -100, -50, "dB"),
}};

} // namespace

const std::array<ParamDefinition, kNumParams>& ParamTable() {
    return kParams;
}
