#pragma once

#include <cstdint>

#include "DelayLine.h"
#include "ToneFilter.h"

// One span of both loops of each channel, after the diffusers, and what follows them: per channel
// y7 = all-pass S7 on what S6 returns, S8 takes y7 and returns the feedback (S11 and S12 the same
// for loop B); the loop inputs in = x + loopGain*feedback (x: the diffused input, already scaled by
// inputGain; feedback: what S8 or S12 returned one sample earlier); the lowpasses
// lp = (lp - in) * damp + in; the all-passes S5 and S9 on them (y5 = d - g5*lp, S5 keeps
// g5*y5 + lp, S6 takes y5; S9 and S10 the same); the wet sum ((y5 + y7) + y9) + y11; then the tone
// filters and the mix in the order of the routing. Every line read inside the span returns a
// sample written before it, so only the lowpasses and the tone filters are recurrences: the rest
// runs several samples at a time.
struct WetPath {
    // Channel 0 is left, 1 right; "Mono" runs channel 0 alone and mixes it into both outputs.
    // Each channel's 13 lines; S5 to S12 move on by count.
    DelayLine* lines[2];
    const double* diffused[2]; // x, count samples each
    const double* input[2];
    double* output[2]; // may be the inputs
    double* wet;       // out: the wet signal as the routing leaves it, pairs in stereo
    const ToneFilter* tone;
    ToneState* toneState; // [filter * 2 + channel]
    // Carried from span to span: S8's and S12's last outputs, the lowpasses and the last wet value
    // of each channel.
    double feedbackA[2];
    double feedbackB[2];
    double lowpassA[2];
    double lowpassB[2];
    double wetLast[2];
    double g5, g7, g9, g11;
    double loopGainA, loopGainB, damp;
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
