#pragma once

// Factory presets as VST 3 preset files (.vstpreset): the effect's class id and its component
// state, which hosts list in their preset browser and load through setState.

#include "pluginterfaces/base/funknown.h"

#include <cstddef>
#include <string>

namespace halvane::bundle {

// "Very Large - Arena" -> "Very Large - Arena.vstpreset". Characters no Windows or Linux file
// name may hold become '_', and trailing dots and blanks (dropped by Windows) are cut.
std::string presetFileName(const std::string& presetName);

// Writes (replaces) the file at path; false with the reason in error.
bool writePresetFile(const std::string& path, const Steinberg::FUID& classId, const void* state, size_t size,
                     std::string& error);

} // namespace halvane::bundle
