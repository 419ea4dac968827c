#pragma once

// The body of RunDiffuser, over a vector type V of V::kWidth doubles. Included by one source file
// per instruction set; everything here has internal linkage, so no copy built for one instruction
// set can stand in for another's.

#include "Allpass.h"
#include "Diffuser.h"

namespace {
namespace diffuser {

// The pre-delay (d = line, line = input) when there is a ring, then the four all-passes.
template <class V, bool kPreDelay> void Diffuse(Diffuser& r) {
    constexpr std::uint32_t w = V::kWidth;
    const std::uint32_t n = r.count;
    const std::uint32_t vectorEnd = n - n % w;
    const double* const u = r.input;
    double* const p = r.preDelay;
    double* const x = r.x;
    double *const s1 = r.s1, *const s2 = r.s2, *const s3 = r.s3, *const s4 = r.s4;
    const V g1 = V::Splat(r.g1), g2 = V::Splat(r.g2), g3 = V::Splat(r.g3), g4 = V::Splat(r.g4);
    const V gain = V::Splat(r.inputGain);
    for (std::uint32_t j = 0; j < vectorEnd; j += w) {
        V v = V::Load((kPreDelay ? p : u) + j);
        if constexpr (kPreDelay)
            V::Store(p + j, V::Load(u + j));
        v = Allpass(s1 + j, g1, v);
        v = Allpass(s2 + j, g2, v);
        v = Allpass(s3 + j, g3, v);
        v = Allpass(s4 + j, g4, v);
        V::Store(x + j, gain * v);
    }
    for (std::uint32_t j = vectorEnd; j < n; ++j) {
        double v = (kPreDelay ? p : u)[j];
        if constexpr (kPreDelay)
            p[j] = u[j];
        v = Allpass(s1 + j, r.g1, v);
        v = Allpass(s2 + j, r.g2, v);
        v = Allpass(s3 + j, r.g3, v);
        v = Allpass(s4 + j, r.g4, v);
        x[j] = r.inputGain * v;
    }
}

template <class V> void Run(Diffuser& r) {
    if (r.preDelay)
        Diffuse<V, true>(r);
    else
        Diffuse<V, false>(r);
}

} // namespace diffuser
} // namespace
