#pragma once

#include <array>

#include "EngineParams.h"

enum class ParamKind { Integer, Enumerated, Real };

// One row of the effect's parameter set. Enumerated rows take their range from their texts.
struct ParamDefinition {
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

const std::array<ParamDefinition, kNumParams>& ParamTable();
