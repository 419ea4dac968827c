#pragma once

// What the test module registers, shared by the module and the tests that load it.

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace halvane::testmodule {

// A SingleComponentEffect: stereo gain with a "Gain" and a "Mode" parameter.
static const Steinberg::TUID kGainClassId = INLINE_UID(0x48414C56, 0x54455354, 0x4741494E, 0x00000001);
// The same effect, registered with a unicode class description.
static const Steinberg::TUID kUnicodeClassId = INLINE_UID(0x48414C56, 0x54455354, 0x554E4943, 0x00000002);
// Registered with the oldest class description; its creation function fails.
static const Steinberg::TUID kFailingClassId = INLINE_UID(0x48414C56, 0x54455354, 0x4641494C, 0x00000003);
// A component whose edit controller is a separate class.
static const Steinberg::TUID kSplitComponentClassId =
    INLINE_UID(0x48414C56, 0x54455354, 0x53504C54, 0x00000004);
static const Steinberg::TUID kSplitControllerClassId =
    INLINE_UID(0x48414C56, 0x54455354, 0x53504C54, 0x00000005);

constexpr const char* kVendor = "Halvane Tests";
constexpr const char* kUrl = "https://halvane.invalid/tests";
constexpr const char* kEmail = "tests@halvane.invalid";

constexpr Steinberg::Vst::ParamID kGainId = 7;
constexpr Steinberg::Vst::ParamID kModeId = 8;
// Gain = 2 * normalised value; the default 0.5 passes audio unchanged.
constexpr double kGainRange = 2.0;

} // namespace halvane::testmodule
