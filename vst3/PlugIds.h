#pragma once

#include "pluginterfaces/vst/vsttypes.h"

// Reserved parameter ids the adapter answers besides the plug-in's own 0..N-1.
namespace PlugIds {
constexpr Steinberg::Vst::ParamID kBypass = 0x62706173;  // 'bpas'
constexpr Steinberg::Vst::ParamID kPresets = 0x70727374; // 'prst', the program-change parameter
constexpr Steinberg::Vst::ProgramListID kFactoryPresetList = kPresets;
} // namespace PlugIds
