#pragma once

// Parameter indices as the engine receives them; the effect's parameter table uses the same order.
enum ParamIndex : int {
    kPreDelay = 0,
    kTime,
    kFreq,
    kSpace,
    kSurface,
    kStereo,
    kMonoPosition,
    kStereoPosition,
    kSpaceAccent,
    kSurfaceAccent,
    kDiffuse,
    kAttack,
    kSize,
    kEqType,
    kEqFreq,
    kEqBandwidth,
    kEqGain,
    kEqMode,
    kEq2Type,
    kEq2Freq,
    kEq2Bandwidth,
    kEq2Gain,
    kDryMix,
    kWetMix,
    kBypassCeil,
    kNumParams
};

static_assert(kNumParams == 25, "the engine is driven by exactly 25 parameters");
