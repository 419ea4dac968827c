#pragma once

// The impulse response of what the user asked for (plug-in, preset or preset file, settings, rate,
// precision), rendered through a fresh instance so nothing of another render rings into it.

#include "RenderOptions.h"

#include <array>
#include <string>
#include <vector>

namespace halvane::render {

class ImpulseResponse {
  public:
    // The first `seconds` of the response at `rate`, both channels; false with the reason in error.
    static bool render(const std::string& bundle, const RenderOptions& options, int rate, double seconds,
                       std::array<std::vector<double>, 2>& response, std::string& error);
};

} // namespace halvane::render
