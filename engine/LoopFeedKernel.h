#pragma once

// The body of RunLoopFeed, over a vector type V of V::kWidth doubles. Included by one source file
// per instruction set; everything here has internal linkage, so no copy built for one instruction
// set can stand in for another's.

#include <type_traits>

#include "LoopFeed.h"

namespace {
namespace loopfeed {

// y = d - g*x, line = g*y + x: the all-pass, elementwise.
template <class V> inline V Allpass(double* line, V g, V x) {
    const V d = V::Load(line);
    const V y = d - g * x;
    V::Store(line, g * y + x);
    return y;
}

inline double Allpass(double* line, double g, double x) {
    const double d = *line;
    const double y = d - g * x;
    *line = g * y + x;
    return y;
}

template <class V> void Run(LoopFeed& r) {
    constexpr std::uint32_t w = V::kWidth;
    const std::uint32_t n = r.count;
    std::uint32_t vectorEnd = n - n % w;

    // Pre-delay (d = line, line = input) and the four diffusers.
    const auto diffuse = [&](auto withPreDelay) {
        constexpr bool kPre = decltype(withPreDelay)::value;
        const double* const u = r.input;
        double* const p = r.preDelay;
        double* const x = r.x;
        double *const s1 = r.s1, *const s2 = r.s2, *const s3 = r.s3, *const s4 = r.s4;
        const V g1 = V::Splat(r.g1), g2 = V::Splat(r.g2), g3 = V::Splat(r.g3), g4 = V::Splat(r.g4);
        for (std::uint32_t j = 0; j < vectorEnd; j += w) {
            V v = V::Load((kPre ? p : u) + j);
            if constexpr (kPre)
                V::Store(p + j, V::Load(u + j));
            v = Allpass(s1 + j, g1, v);
            v = Allpass(s2 + j, g2, v);
            v = Allpass(s3 + j, g3, v);
            v = Allpass(s4 + j, g4, v);
            V::Store(x + j, v);
        }
        for (std::uint32_t j = vectorEnd; j < n; ++j) {
            double v = (kPre ? p : u)[j];
            if constexpr (kPre)
                p[j] = u[j];
            v = Allpass(s1 + j, r.g1, v);
            v = Allpass(s2 + j, r.g2, v);
            v = Allpass(s3 + j, r.g3, v);
            v = Allpass(s4 + j, r.g4, v);
            x[j] = v;
        }
    };
    if (r.preDelay)
        diffuse(std::true_type{});
    else
        diffuse(std::false_type{});

    // One loop at a time: y7 = all-pass(S7, S6's output), S8 takes y7 and returns the feedback.
    const auto loop = [&](const double* s6, double* s7, double* s8, double g7d, double loopGain, double* in,
                          double* out7, double& feedback) {
        const double* const x = r.x;
        const V g7 = V::Splat(g7d), gain = V::Splat(r.inputGain), feedbackGain = V::Splat(loopGain);
        V last = V::LastOnly(feedback);
        for (std::uint32_t j = 0; j < vectorEnd; j += w) {
            const V y7 = Allpass(s7 + j, g7, V::Load(s6 + j));
            const V out = V::Load(s8 + j);
            V::Store(s8 + j, y7);
            V::Store(out7 + j, y7);
            V::Store(in + j, gain * V::Load(x + j) + feedbackGain * V::ShiftIn(last, out));
            last = out;
        }
        double fb = V::Last(last);
        for (std::uint32_t j = vectorEnd; j < n; ++j) {
            const double y7 = Allpass(s7 + j, g7d, s6[j]);
            out7[j] = y7;
            in[j] = r.inputGain * x[j] + loopGain * fb;
            fb = s8[j];
            s8[j] = y7;
        }
        feedback = fb;
    };
    loop(r.s6, r.s7, r.s8, r.g7, r.loopGainA, r.loopInA, r.out7, r.feedbackA);
    loop(r.s10, r.s11, r.s12, r.g11, r.loopGainB, r.loopInB, r.out11, r.feedbackB);
}

} // namespace loopfeed
} // namespace
