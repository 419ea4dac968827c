#pragma once

#include <cstdint>

// One contiguous run of a channel's pre-delay and its four series all-passes S1..S4, scaled by
// inputGain for the loops: x = inputGain * S4(S3(S2(S1(pre-delayed input)))). Within the run no
// line wraps and none is shorter than the run, so every read returns a sample written before it:
// the stages can run one after the other over the whole run, several samples at a time.
struct Diffuser {
    // The pre-delay: with a ring (no shorter than the run) the ring returns the sample while it
    // takes the input; without one the input is already pre-delayed.
    const double* input;
    double* preDelay; // null: none
    double* x;        // out: diffused and scaled
    double* s1;
    double* s2;
    double* s3;
    double* s4;
    double g1, g2, g3, g4;
    double inputGain;
    std::uint32_t count;
};

// Two samples at a time (SSE2, every x86-64).
void RunDiffuser(Diffuser& run);
// Four at a time, the same operations on the same values; only where the CPU has AVX2.
void RunDiffuserAvx2(Diffuser& run);
// Eight at a time; only where the CPU has AVX-512.
void RunDiffuserAvx512(Diffuser& run);
