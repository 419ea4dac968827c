#pragma once

#include <cstdint>

#include "DelayLine.h"
#include "ToneFilter.h"

// The serial part of one span, after the loop feed: per channel the two loops' lowpasses
// lp = (lp - in) * damp + in, the all-passes S5 and S9 on them (y5 = d - g5*lp, S5 keeps g5*y5 + lp,
// S6 takes y5; S9 and S10 the same), the wet sum ((y5 + y7) + y9) + y11 (y7 and y11: what S8 and
// S12 took in the loop feed), then the tone filters and the mix in the order of the routing. Every
// line read inside the span returns a sample written before it, so only the lowpasses and the tone
// filters are recurrences: the rest runs several samples at a time.
struct WetPath {
    // Channel 0 is left, 1 right; "Mono" runs channel 0 alone and mixes it into both outputs.
    // Each channel's 13 lines; S5, S6, S8, S9, S10 and S12 move on by count.
    DelayLine* lines[2];
    // The loop inputs before their lowpass, count samples each.
    const double* loopInA[2];
    const double* loopInB[2];
    const double* input[2];
    double* output[2]; // may be the inputs
    double* wet;       // out: the wet signal as the routing leaves it, pairs in stereo
    const ToneFilter* tone;
    ToneState* toneState; // [filter * 2 + channel]
    // Carried from span to span: the lowpasses and the last wet value of each channel.
    double lowpassA[2];
    double lowpassB[2];
    double wetLast[2];
    double damp, g5, g9;
    double dry, wetGain;
    double monoGain[2];
    int route; // EQ Mode 0..4; 5 is the plain mix
    bool stereo;
    std::uint32_t count;
};

// Two samples at a time (SSE2, every x86-64).
void RunWetPath(WetPath& path);
// Four at a time, the same operations on the same values; only where the CPU has AVX2.
void RunWetPathAvx2(WetPath& path);
// The same four-sample build with AVX-512's larger register file; only where the CPU has AVX-512VL.
void RunWetPathAvx512(WetPath& path);
