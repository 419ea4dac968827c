#pragma once

#include <array>

#include "EngineParams.h"

// The factory presets made after the default preset, in slot order (slots 1 to 123).
constexpr int kFactoryPresetCount = 123;

struct FactoryPreset {
    const char* name;
    std::array<double, kNumParams> values; // plain values in parameter index order
};

// The preset at position i (0-based; slot i + 1), with every shared value filled in.
// Any thread, never allocates. An i outside 0 .. kFactoryPresetCount - 1 gives the name "" (never null)
// and values that are all inside their ranges: the shared values, the first group's values and the
// parameter defaults for the rest.
FactoryPreset FactoryPresetAt(int i);
