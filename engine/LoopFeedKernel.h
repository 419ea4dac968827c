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

    // Both loops in one pass over x: y7 = all-pass(S7, S6's output), S8 takes y7 and returns the
    // feedback; S11 and S12 the same for loop B.
    const double* const x = r.x;
    const double *const s6 = r.s6, *const s10 = r.s10;
    double *const s7 = r.s7, *const s8 = r.s8, *const s11 = r.s11, *const s12 = r.s12;
    double *const inA = r.loopInA, *const inB = r.loopInB;
    const V g7 = V::Splat(r.g7), g11 = V::Splat(r.g11), gain = V::Splat(r.inputGain);
    const V gainA = V::Splat(r.loopGainA), gainB = V::Splat(r.loopGainB);
    V lastA = V::LastOnly(r.feedbackA), lastB = V::LastOnly(r.feedbackB);
    for (std::uint32_t j = 0; j < vectorEnd; j += w) {
        const V xs = gain * V::Load(x + j);
        const V y7 = Allpass(s7 + j, g7, V::Load(s6 + j));
        const V outA = V::Load(s8 + j);
        V::Store(s8 + j, y7);
        V::Store(inA + j, xs + gainA * V::ShiftIn(lastA, outA));
        lastA = outA;
        const V y11 = Allpass(s11 + j, g11, V::Load(s10 + j));
        const V outB = V::Load(s12 + j);
        V::Store(s12 + j, y11);
        V::Store(inB + j, xs + gainB * V::ShiftIn(lastB, outB));
        lastB = outB;
    }
    double fbA = V::Last(lastA), fbB = V::Last(lastB);
    for (std::uint32_t j = vectorEnd; j < n; ++j) {
        const double xs = r.inputGain * x[j];
        const double y7 = Allpass(s7 + j, r.g7, s6[j]);
        inA[j] = xs + r.loopGainA * fbA;
        fbA = s8[j];
        s8[j] = y7;
        const double y11 = Allpass(s11 + j, r.g11, s10[j]);
        inB[j] = xs + r.loopGainB * fbB;
        fbB = s12[j];
        s12[j] = y11;
    }
    r.feedbackA = fbA;
    r.feedbackB = fbB;
}

} // namespace loopfeed
} // namespace
