#pragma once

// The body of RunWetPath, over an instruction set's traits I: a vector type I::V of I::kWidth
// doubles and the few shuffles between samples and channels. Included by one source file per
// instruction set; everything here has internal linkage, so no copy built for one instruction set
// can stand in for another's. Plain IEEE operations only, each in the order the signal path gives.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "Pair.h"
#include "RingRun.h"
#include "WetPath.h"

namespace {
namespace wetpath {

// One value per channel: a Pair in stereo, a double for the single network of "Mono".
template <class T> T Splat2(double x) {
    if constexpr (std::is_same_v<T, Pair>)
        return Pair::Splat(x);
    else
        return x;
}

// The tone filter step on one channel (double) or both (Pair).
// y = ((b1*x1 + s*b0) + b2*x2) - a1*y1 - a2*y2, evaluated left to right.
template <class T> struct Biquad {
    T b0, b1, b2, a1, a2;
    T x1, x2, y1, y2;

    void Load(const ToneFilter& f, const ToneState* h) {
        b0 = Splat2<T>(f.b0), b1 = Splat2<T>(f.b1), b2 = Splat2<T>(f.b2);
        a1 = Splat2<T>(f.a1), a2 = Splat2<T>(f.a2);
        if constexpr (std::is_same_v<T, Pair>) {
            x1 = Both(h[0].x1, h[1].x1), x2 = Both(h[0].x2, h[1].x2);
            y1 = Both(h[0].y1, h[1].y1), y2 = Both(h[0].y2, h[1].y2);
        } else {
            x1 = h[0].x1, x2 = h[0].x2, y1 = h[0].y1, y2 = h[0].y2;
        }
    }
    void Save(ToneState* h) const {
        if constexpr (std::is_same_v<T, Pair>) {
            h[0] = ToneState{Left(x1), Left(x2), Left(y1), Left(y2)};
            h[1] = ToneState{Right(x1), Right(x2), Right(y1), Right(y2)};
        } else {
            h[0] = ToneState{x1, x2, y1, y2};
        }
    }
    __attribute__((always_inline)) T Step(T s) {
        const T y = ((b1 * x1 + s * b0) + b2 * x2) - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = s;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Side by side: F1(s/2) + F2(s/2) with both filters on, otherwise the one that is on.
template <bool kOn1, bool kOn2, class T, class F1, class F2>
inline __attribute__((always_inline)) T Parallel(F1& f1, F2& f2, T s) {
    if constexpr (kOn1 && kOn2) {
        const T half = s * Splat2<T>(0.5);
        const T first = f1.Step(half);
        return first + f2.Step(half);
    } else if constexpr (kOn1) {
        return f1.Step(s);
    } else if constexpr (kOn2) {
        return f2.Step(s);
    } else {
        return s;
    }
}

// Tone and mix of one sample, T = Pair in stereo, double in "Mono": which filters act on the wet
// signal (one channel or two) and which on the output pair follows the routing.
template <class T, int kRoute, bool kFilter1, bool kFilter2> struct ToneMix {
    using Filter1 = Biquad<std::conditional_t<(kRoute <= 2), T, Pair>>;
    using Filter2 = Biquad<std::conditional_t<(kRoute <= 1), T, Pair>>;
    Filter1 f1;
    Filter2 f2;
    Pair dry, wetGain, monoGains;

    explicit ToneMix(const WetPath& p)
        : dry(Pair::Splat(p.dry)), wetGain(Pair::Splat(p.wetGain)),
          monoGains(Both(p.monoGain[0], p.monoGain[1])) {
        if constexpr (kFilter1)
            f1.Load(p.tone[0], p.toneState);
        if constexpr (kFilter2)
            f2.Load(p.tone[1], p.toneState + 2);
    }
    void Save(WetPath& p) const {
        if constexpr (kFilter1)
            f1.Save(p.toneState);
        if constexpr (kFilter2)
            f2.Save(p.toneState + 2);
    }

    // wet in: the loops' sum; out: as the routing leaves it (the gate hears that).
    __attribute__((always_inline)) Pair Step(T& wet, Pair in) {
        if constexpr (kRoute == 0) {
            wet = Parallel<kFilter1, kFilter2>(f1, f2, wet);
        } else if constexpr (kRoute == 1 || kRoute == 2) {
            if constexpr (kFilter1)
                wet = f1.Step(wet);
            if constexpr (kFilter2 && kRoute == 1)
                wet = f2.Step(wet);
        }
        Pair out;
        if constexpr (std::is_same_v<T, Pair>)
            out = dry * in + wetGain * wet;
        else
            out = monoGains * Pair::Splat(wet) * wetGain + dry * in;
        if constexpr (kRoute == 3) {
            out = Parallel<kFilter1, kFilter2>(f1, f2, out);
        } else if constexpr (kRoute == 2 || kRoute == 4) {
            if constexpr (kFilter1 && kRoute == 4)
                out = f1.Step(out);
            if constexpr (kFilter2)
                out = f2.Step(out);
        }
        return out;
    }
};

// y5 = d - g*lp, the line keeps g*y5 + lp: the all-passes S5 and S9, elementwise.
template <class V> __attribute__((always_inline)) inline V Allpass(double* line, V g, V x) {
    const V d = V::Load(line);
    const V y = d - g * x;
    V::Store(line, g * y + x);
    return y;
}
__attribute__((always_inline)) inline double Allpass(double* line, double g, double x) {
    const double d = *line;
    const double y = d - g * x;
    *line = g * y + x;
    return y;
}

// lp = (lp - in) * damp + in, on every lane.
template <class X> __attribute__((always_inline)) inline X Lowpass(X& lp, X damp, X in) {
    lp = (lp - in) * damp + in;
    return lp;
}

// The two lowpasses of "Mono" as one vector (A, B); each instruction set's traits add how a group
// of samples goes through it.
struct MonoChain {
    Pair ab;

    MonoChain(double lowpassA, double lowpassB) : ab(Both(lowpassA, lowpassB)) {}
    void Save(double& lowpassA, double& lowpassB) const { lowpassA = Left(ab), lowpassB = Right(ab); }
    __attribute__((always_inline)) void StepOne(double damp, double& a, double& b) {
        const Pair o = Lowpass(ab, Pair::Splat(damp), Both(a, b));
        a = Left(o), b = Right(o);
    }
};

// The lines after one channel's lowpasses, over one run of their rings.
struct Taps {
    RingRun s5, s6, s8, s9, s10, s12;

    explicit Taps(DelayLine* lines)
        : s5(lines[5]), s6(lines[6]), s8(lines[8]), s9(lines[9]), s10(lines[10]), s12(lines[12]) {}
    std::uint32_t Room(std::uint32_t n) const {
        for (const RingRun* r : {&s5, &s6, &s8, &s9, &s10, &s12})
            n = std::min(n, r->Room());
        return n;
    }
    void Step(std::uint32_t n) {
        for (RingRun* r : {&s5, &s6, &s8, &s9, &s10, &s12})
            r->Step(n);
    }
    // The wet sum of the samples at k.. of the run, from the lowpass outputs at those samples.
    template <class V>
    __attribute__((always_inline)) V Wet(std::uint32_t k, V g5, V g9, V lowpassA, V lowpassB) const {
        const V y5 = Allpass(s5.Head() + k, g5, lowpassA);
        V::Store(s6.Head() + k, y5);
        const V y9 = Allpass(s9.Head() + k, g9, lowpassB);
        V::Store(s10.Head() + k, y9);
        return ((y5 + V::Load(s8.Head() + k)) + y9) + V::Load(s12.Head() + k);
    }
    __attribute__((always_inline)) double WetOne(std::uint32_t k, double g5, double g9, double lowpassA,
                                                 double lowpassB) const {
        const double y5 = Allpass(s5.Head() + k, g5, lowpassA);
        s6.Head()[k] = y5;
        const double y9 = Allpass(s9.Head() + k, g9, lowpassB);
        s10.Head()[k] = y9;
        return ((y5 + s8.Head()[k]) + y9) + s12.Head()[k];
    }
};

// The span in groups of kWidth samples: the lowpasses across the chains and the taps along time
// one channel at a time write the wet signal; tone and mix trail kLag samples behind, so the two
// chains of recurrences overlap in the processor instead of waiting for each other. A run of the
// rings that ends inside a group finishes one sample at a time.
template <class I, bool kStereo, int kRoute, bool kFilter1, bool kFilter2> void Span(WetPath& p) {
    using V = typename I::V;
    using T = std::conditional_t<kStereo, Pair, double>;
    constexpr std::uint32_t w = I::kWidth;
    constexpr std::uint32_t kLag = 8;
    constexpr int kChannels = kStereo ? 2 : 1;

    const V damp = V::Splat(p.damp), g5 = V::Splat(p.g5), g9 = V::Splat(p.g9);
    typename I::Lowpasses lowpasses(p.lowpassA, p.lowpassB);
    typename I::MonoLowpasses monoLowpasses(p.lowpassA[0], p.lowpassB[0]);
    ToneMix<T, kRoute, kFilter1, kFilter2> tone(p);
    T wet;
    if constexpr (kStereo)
        wet = Both(p.wetLast[0], p.wetLast[1]);
    else
        wet = p.wetLast[0];

    const double *const aL = p.loopInA[0], *const aR = p.loopInA[1];
    const double *const bL = p.loopInB[0], *const bR = p.loopInB[1];
    const double *const inL = p.input[0], *const inR = p.input[1];
    double *const outL = p.output[0], *const outR = p.output[1];
    double* const wetSpan = p.wet;
    const auto loadWet = [wetSpan](std::uint32_t j) __attribute__((always_inline)) {
        if constexpr (kStereo)
            return Pair::Load(wetSpan + 2 * j);
        else
            return wetSpan[j];
    };
    const auto storeWet = [wetSpan](std::uint32_t j, T x) __attribute__((always_inline)) {
        if constexpr (kStereo)
            Pair::Store(wetSpan + 2 * j, x);
        else
            wetSpan[j] = x;
    };

    // Tone and mix of the samples up to `end`, a group at a time while whole groups remain.
    std::uint32_t toned = 0;
    const auto toneUpTo = [&](std::uint32_t end, bool last) __attribute__((always_inline)) {
        for (; toned + w <= end; toned += w) {
            Pair ins[w], outs[w];
            I::ToPairs(V::Load(inL + toned), V::Load(inR + toned), ins);
#pragma GCC unroll 4
            for (std::uint32_t s = 0; s < w; ++s) {
                wet = loadWet(toned + s);
                outs[s] = tone.Step(wet, ins[s]);
                storeWet(toned + s, wet);
            }
            V left, right;
            I::FromPairs(outs, left, right);
            V::Store(outL + toned, left);
            V::Store(outR + toned, right);
        }
        for (; last && toned < end; ++toned) {
            wet = loadWet(toned);
            const Pair out = tone.Step(wet, {_mm_loadh_pd(_mm_load_sd(inL + toned), inR + toned)});
            storeWet(toned, wet);
            _mm_storel_pd(outL + toned, out.v);
            _mm_storeh_pd(outR + toned, out.v);
        }
    };

    Taps taps[2] = {Taps(p.lines[0]), Taps(p.lines[kChannels - 1])};
    const std::uint32_t n = p.count;
    for (std::uint32_t done = 0; done < n;) {
        std::uint32_t count = taps[0].Room(n - done);
        if constexpr (kStereo)
            count = taps[1].Room(count);

        // j: the sample in the span; k: the same sample in this run of the rings.
        std::uint32_t j = done, k = 0;
        // The taps of each group run in the next group's turn, once its lowpasses are long done, so
        // they fill the time the lowpass chain waits.
        V lp[4];
        const auto lowpassGroup = [&](std::uint32_t at) __attribute__((always_inline)) {
            if constexpr (kStereo) {
                lp[0] = V::Load(aL + at), lp[1] = V::Load(aR + at);
                lp[2] = V::Load(bL + at), lp[3] = V::Load(bR + at);
                lowpasses.Step(damp, lp[0], lp[1], lp[2], lp[3]);
            } else {
                lp[0] = V::Load(aL + at), lp[2] = V::Load(bL + at);
                monoLowpasses.Step(damp, lp[0], lp[2]);
            }
        };
        const auto tapsGroup = [&](std::uint32_t at, std::uint32_t ring, const V* outputs)
            __attribute__((always_inline)) {
            if constexpr (kStereo)
                I::StorePairs(wetSpan + 2 * at, taps[0].template Wet<V>(ring, g5, g9, outputs[0], outputs[2]),
                              taps[1].template Wet<V>(ring, g5, g9, outputs[1], outputs[3]));
            else
                V::Store(wetSpan + at, taps[0].template Wet<V>(ring, g5, g9, outputs[0], outputs[2]));
        };
        if (k + w <= count) {
            lowpassGroup(j);
            for (j += w, k += w; k + w <= count; j += w, k += w) {
                const V before[4] = {lp[0], lp[1], lp[2], lp[3]};
                lowpassGroup(j);
                tapsGroup(j - w, k - w, before);
                if (j > kLag)
                    toneUpTo(j - kLag, false);
            }
            tapsGroup(j - w, k - w, lp);
        }
        for (; k < count; ++j, ++k) {
            // The same operations, one sample.
            if constexpr (kStereo) {
                double lpAL = aL[j], lpAR = aR[j], lpBL = bL[j], lpBR = bR[j];
                lowpasses.StepOne(p.damp, lpAL, lpAR, lpBL, lpBR);
                storeWet(j, Both(taps[0].WetOne(k, p.g5, p.g9, lpAL, lpBL),
                                 taps[1].WetOne(k, p.g5, p.g9, lpAR, lpBR)));
            } else {
                double lpA = aL[j], lpB = bL[j];
                monoLowpasses.StepOne(p.damp, lpA, lpB);
                storeWet(j, taps[0].WetOne(k, p.g5, p.g9, lpA, lpB));
            }
        }
        for (int c = 0; c < kChannels; ++c)
            taps[c].Step(count);
        done += count;
    }
    toneUpTo(n, true);

    for (int c = 0; c < kChannels; ++c)
        for (const int line : {5, 6, 8, 9, 10, 12})
            p.lines[c][line].Advance(n);
    if constexpr (kStereo) {
        lowpasses.Save(p.lowpassA, p.lowpassB);
        p.wetLast[0] = Left(wet), p.wetLast[1] = Right(wet);
    } else {
        monoLowpasses.Save(p.lowpassA[0], p.lowpassB[0]);
        p.wetLast[0] = wet;
    }
    tone.Save(p);
}

// [stereo][route][filter 1 on][filter 2 on]
template <class I> void Dispatch(WetPath& p) {
    using Fn = void (*)(WetPath&);
#define HALVANE_FILTERS(S, R)                                                                                \
    {                                                                                                        \
        {&Span<I, S, R, false, false>, &Span<I, S, R, false, true>}, {                                       \
            &Span<I, S, R, true, false>, &Span<I, S, R, true, true>                                          \
        }                                                                                                    \
    }
#define HALVANE_ROUTES(S)                                                                                    \
    {                                                                                                        \
        HALVANE_FILTERS(S, 0), HALVANE_FILTERS(S, 1), HALVANE_FILTERS(S, 2), HALVANE_FILTERS(S, 3),          \
            HALVANE_FILTERS(S, 4), HALVANE_FILTERS(S, 5)                                                     \
    }
    static constexpr Fn kRuns[2][6][2][2] = {HALVANE_ROUTES(false), HALVANE_ROUTES(true)};
#undef HALVANE_ROUTES
#undef HALVANE_FILTERS
    const int route = p.route >= 0 && p.route <= 4 ? p.route : 5;
    kRuns[p.stereo][route][p.tone[0].IsOn()][p.tone[1].IsOn()](p);
}

} // namespace wetpath
} // namespace
