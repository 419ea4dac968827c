#pragma once

#include <array>

#include "EngineParams.h"

// The factory presets made after the default preset, in slot order (slots 1 to 123).
constexpr int kFactoryPresetCount = 123;

struct FactoryPreset {
    const char* name;
    std::array<double, kNumParams> values;  // plain values in parameter index order
};

// The preset at position i (0-based; slot i + 1), with every shared value filled in.
FactoryPreset FactoryPresetAt(int i);
