#pragma once

#include <cstdint>

// One contiguous run of the stages that feed a channel's two loops: the four diffusers on the
// pre-delayed input, then the loop inputs in = inputGain*x + loopGain*feedback (feedback: S8's or
// S12's output one sample earlier) and the all-passes S7 and S11 on what S6 and S10 return; S8 and
// S12 take their outputs. Within the run no line wraps and none is shorter than the run, so every
// read returns a sample written before it: the stages can run one after the other over the whole
// run, several samples at a time.
struct LoopFeed {
    // The pre-delay: with a ring (no shorter than the run) x = what the ring returns while it takes
    // the input; without one the input is already pre-delayed.
    const double* input;
    double* preDelay; // null: none
    double* x;        // out: diffused
    double* loopInA;
    double* loopInB;
    double* s1;
    double* s2;
    double* s3;
    double* s4;
    const double* s6; // read only: the wet path writes S6 and S10 later
    double* s7;
    double* s8;
    const double* s10;
    double* s11;
    double* s12;
    double g1, g2, g3, g4, g7, g11;
    double inputGain, loopGainA, loopGainB;
    double feedbackA; // in: the feedback of the run's first sample; out: S8's last output
    double feedbackB;
    std::uint32_t count;
};

// Two samples at a time (SSE2, every x86-64).
void RunLoopFeed(LoopFeed& run);
// Four at a time, the same operations on the same values; only where the CPU has AVX2.
void RunLoopFeedAvx2(LoopFeed& run);
