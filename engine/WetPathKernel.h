#pragma once

// The body of RunWetPath, over an instruction set's traits I: a vector type I::V of I::kWidth
// doubles and the few shuffles between samples and channels. Included by one source file per
// instruction set; everything here has internal linkage, so no copy built for one instruction set
// can stand in for another's. Plain IEEE operations only, each in the order the signal path gives.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "Allpass.h"
#include "Pair.h"
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

// The stereo mix of one sample or of a group of each channel: dry*in + wetGain*wet.
template <class X> __attribute__((always_inline)) inline X Mix(X dry, X in, X wetGain, X wet) {
    return dry * in + wetGain * wet;
}

// Two filters side by side on the same half signal: F1(half) + F2(half).
template <class X, class F1, class F2>
__attribute__((always_inline)) inline X SideBySide(F1& f1, F2& f2, X half) {
    const X first = f1.Step(half);
    return first + f2.Step(half);
}

// Both filters side by side on the two channels of one sample, as two filters; an instruction set
// with four lanes has its own with one vector for both.
struct PairTwin {
    Biquad<Pair> f1, f2;

    void Load(const ToneFilter* f, const ToneState* h) {
        f1.Load(f[0], h);
        f2.Load(f[1], h + 2);
    }
    void Save(ToneState* h) const {
        f1.Save(h);
        f2.Save(h + 2);
    }
    __attribute__((always_inline)) Pair Step(Pair half) { return SideBySide(f1, f2, half); }
};

// Tone and mix of one sample, T = Pair in stereo, double in "Mono": which filters act on the wet
// signal (one channel or two) and which on the output pair follows the routing. Twin: both filters
// side by side on a pair (PairTwin or an instruction set's own).
template <class Twin, class T, int kRoute, bool kFilter1, bool kFilter2> struct ToneMix {
    static constexpr bool kTwin =
        kFilter1 && kFilter2 && (kRoute == 3 || (kRoute == 0 && std::is_same_v<T, Pair>));
    using Filter1 = Biquad<std::conditional_t<(kRoute <= 2), T, Pair>>;
    using Filter2 = Biquad<std::conditional_t<(kRoute <= 1), T, Pair>>;
    Filter1 f1;
    Filter2 f2;
    Twin twin;
    Pair dry, wetGain, monoGains;

    explicit ToneMix(const WetPath& p)
        : dry(Pair::Splat(p.dry)), wetGain(Pair::Splat(p.wetGain)),
          monoGains(Both(p.monoGain[0], p.monoGain[1])) {
        if constexpr (kTwin) {
            twin.Load(p.tone, p.toneState);
        } else {
            if constexpr (kFilter1)
                f1.Load(p.tone[0], p.toneState);
            if constexpr (kFilter2)
                f2.Load(p.tone[1], p.toneState + 2);
        }
    }
    void Save(WetPath& p) const {
        if constexpr (kTwin) {
            twin.Save(p.toneState);
        } else {
            if constexpr (kFilter1)
                f1.Save(p.toneState);
            if constexpr (kFilter2)
                f2.Save(p.toneState + 2);
        }
    }
    // Side by side: F1(s/2) + F2(s/2) with both filters on, otherwise the one that is on.
    template <class X> __attribute__((always_inline)) X Parallel(X s) {
        if constexpr (kTwin) {
            return twin.Step(s * Splat2<X>(0.5));
        } else if constexpr (kFilter1 && kFilter2) {
            return SideBySide(f1, f2, s * Splat2<X>(0.5));
        } else if constexpr (kFilter1) {
            return f1.Step(s);
        } else if constexpr (kFilter2) {
            return f2.Step(s);
        } else {
            return s;
        }
    }

    // Routings that filter nothing after the mix: the mix of a group can wait for its last sample.
    static constexpr bool kOutputUnfiltered = kRoute <= 1 || kRoute == 5 || (kRoute == 2 && !kFilter2);

    // The filters that act on the wet signal, in the routing's order.
    __attribute__((always_inline)) void FilterWet(T& wet) {
        if constexpr (kRoute == 0) {
            wet = Parallel(wet);
        } else if constexpr (kRoute == 1 || kRoute == 2) {
            if constexpr (kFilter1)
                wet = f1.Step(wet);
            if constexpr (kFilter2 && kRoute == 1)
                wet = f2.Step(wet);
        }
    }

    // wet in: the loops' sum; out: as the routing leaves it (the gate hears that).
    __attribute__((always_inline)) Pair Step(T& wet, Pair in) {
        FilterWet(wet);
        Pair out;
        if constexpr (std::is_same_v<T, Pair>)
            out = Mix(dry, in, wetGain, wet);
        else
            out = monoGains * Pair::Splat(wet) * wetGain + dry * in;
        if constexpr (kRoute == 3) {
            out = Parallel(out);
        } else if constexpr (kRoute == 2 || kRoute == 4) {
            if constexpr (kFilter1 && kRoute == 4)
                out = f1.Step(out);
            if constexpr (kFilter2)
                out = f2.Step(out);
        }
        return out;
    }
};

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

// The gains of the loop stages, one per lane.
template <class V> struct LoopGains {
    V g5, g7, g9, g11, gainA, gainB, damp;

    explicit LoopGains(const WetPath& p)
        : g5(V::Splat(p.g5)), g7(V::Splat(p.g7)), g9(V::Splat(p.g9)), g11(V::Splat(p.g11)),
          gainA(V::Splat(p.loopGainA)), gainB(V::Splat(p.loopGainB)), damp(V::Splat(p.damp)) {}
};

// Lines S5 to S12 of one channel, walked in place run by run: within a run none wraps.
struct Rings {
    static constexpr int kFirst = 5;
    static constexpr int kLines = 13;
    DelayLine* lines;

    std::uint32_t Room(std::uint32_t n) const {
        for (int k = kFirst; k < kLines; ++k)
            n = std::min(n, lines[k].Room());
        return n;
    }
    double* Head(int k) const { return lines[k].Head(); }
    void Step(std::uint32_t n) const {
        for (int k = kFirst; k < kLines; ++k)
            lines[k].Step(n);
    }
};

// Where one channel's loop lines and diffused input stand in the current run: a plain pointer
// each, so that an access of a group is one address.
struct Heads {
    double *s5, *s6, *s7, *s8, *s9, *s10, *s11, *s12;
    const double* x;

    Heads(const Rings& r, const double* diffused)
        : s5(r.Head(5)), s6(r.Head(6)), s7(r.Head(7)), s8(r.Head(8)), s9(r.Head(9)), s10(r.Head(10)),
          s11(r.Head(11)), s12(r.Head(12)), x(diffused) {}

    // The loop stages that need no lowpass output, for the group at k: S7 on what S6 returns, S8
    // taking y7 (S11 and S12 the same), and the loop inputs in = x + loopGain*feedback. last: the
    // feedbacks returned one group earlier, in the last lane.
    template <class V>
    __attribute__((always_inline)) void LoopInputs(std::size_t k, const LoopGains<V>& g, V& lastA, V& lastB,
                                                   V& inA, V& inB) const {
        const V xs = V::Load(x + k);
        const V y7 = AllpassOf(s7 + k, g.g7, s6 + k);
        const V outA = V::Load(s8 + k);
        V::Store(s8 + k, y7);
        inA = xs + g.gainA * V::ShiftIn(lastA, outA);
        lastA = outA;
        const V y11 = AllpassOf(s11 + k, g.g11, s10 + k);
        const V outB = V::Load(s12 + k);
        V::Store(s12 + k, y11);
        inB = xs + g.gainB * V::ShiftIn(lastB, outB);
        lastB = outB;
    }
    __attribute__((always_inline)) void LoopInputsOne(std::size_t k, const WetPath& p, double& fbA,
                                                      double& fbB, double& inA, double& inB) const {
        const double xs = x[k];
        const double y7 = Allpass(s7 + k, p.g7, s6[k]);
        inA = xs + p.loopGainA * fbA;
        fbA = s8[k];
        s8[k] = y7;
        const double y11 = Allpass(s11 + k, p.g11, s10[k]);
        inB = xs + p.loopGainB * fbB;
        fbB = s12[k];
        s12[k] = y11;
    }

    // The lines after the lowpasses: S5 and S9 on them, S6 and S10 taking their outputs, and the wet
    // sum ((y5 + y7) + y9) + y11 of the group at k (y7, y11: what S8 and S12 took).
    template <class V>
    __attribute__((always_inline)) V Wet(std::size_t k, V g5, V g9, V lowpassA, V lowpassB) const {
        const V y5 = Allpass(s5 + k, g5, lowpassA);
        V::Store(s6 + k, y5);
        const V y9 = Allpass(s9 + k, g9, lowpassB);
        V::Store(s10 + k, y9);
        return ((y5 + V::Load(s8 + k)) + y9) + V::Load(s12 + k);
    }
    __attribute__((always_inline)) double WetOne(std::size_t k, double g5, double g9, double lowpassA,
                                                 double lowpassB) const {
        const double y5 = Allpass(s5 + k, g5, lowpassA);
        s6[k] = y5;
        const double y9 = Allpass(s9 + k, g9, lowpassB);
        s10[k] = y9;
        return ((y5 + s8[k]) + y9) + s12[k];
    }
};

// The span in groups of kWidth samples, in a software pipeline: a group's loop inputs are formed in
// its own turn, go through the lowpasses (across the four chains) in the next and through the taps
// (along time, one channel at a time) in the one after, so no turn waits on the latency of the one
// before it. Tone and mix trail kLag samples behind the wet signal, so their recurrence overlaps
// the lowpasses' instead of waiting for it. A run of the rings that ends inside a group finishes
// one sample at a time.
template <class I, bool kStereo, int kRoute, bool kFilter1, bool kFilter2> void Span(WetPath& p) {
    using V = typename I::V;
    using T = std::conditional_t<kStereo, Pair, double>;
    constexpr std::uint32_t w = I::kWidth;
    constexpr std::uint32_t kLag = 8 + w;
    constexpr int kChannels = kStereo ? 2 : 1;
    // The gate hears the wet signal as the routing leaves it; where no filter acts on it, the
    // signal the taps stored is that already.
    constexpr bool kToneChangesWet = kRoute <= 1 ? kFilter1 || kFilter2 : kRoute == 2 && kFilter1;

    const LoopGains<V> gains(p);
    typename I::Lowpasses lowpasses(p.lowpassA, p.lowpassB);
    typename I::MonoLowpasses monoLowpasses(p.lowpassA[0], p.lowpassB[0]);
    ToneMix<typename I::Twin, T, kRoute, kFilter1, kFilter2> tone(p);
    T wet;
    if constexpr (kStereo)
        wet = Both(p.wetLast[0], p.wetLast[1]);
    else
        wet = p.wetLast[0];
    // The feedbacks S8 and S12 returned one group earlier, in the last lane.
    V lastAL = V::LastOnly(p.feedbackA[0]), lastBL = V::LastOnly(p.feedbackB[0]);
    V lastAR = V::LastOnly(p.feedbackA[1]), lastBR = V::LastOnly(p.feedbackB[1]);

    const double *const inL = p.input[0], *const inR = p.input[1];
    double *const outL = p.output[0], *const outR = p.output[1];
    double* const wetSpan = p.wet;
    const auto loadWet = [wetSpan](std::size_t j) __attribute__((always_inline)) {
        if constexpr (kStereo)
            return Pair::Load(wetSpan + 2 * j);
        else
            return wetSpan[j];
    };
    const auto storeWet = [wetSpan](std::size_t j, T x) __attribute__((always_inline)) {
        if constexpr (kStereo)
            Pair::Store(wetSpan + 2 * j, x);
        else
            wetSpan[j] = x;
    };

    // Tone and mix of one sample; each channel is read and written on its own, which costs no more
    // store bandwidth than whole groups and needs no shuffles. A group at a time in the pipeline;
    // whatever is left at the end of a run or of the span catches up.
    std::size_t toned = 0;
    const auto toneOne = [&](std::size_t t) __attribute__((always_inline)) {
        wet = loadWet(t);
        const Pair out = tone.Step(wet, {_mm_loadh_pd(_mm_load_sd(inL + t), inR + t)});
        if constexpr (kToneChangesWet)
            storeWet(t, wet);
        _mm_storel_pd(outL + t, out.v);
        _mm_storeh_pd(outR + t, out.v);
    };
    // In stereo, where nothing is filtered after the mix, a group's filters run one sample at a time
    // and its mix as vectors of each channel, from the filtered pairs still in registers (a reload
    // of pairs just stored would wait for the stores).
    constexpr bool kMixGroups = kStereo && decltype(tone)::kOutputUnfiltered;
    const V dry = V::Splat(p.dry), wetGain = V::Splat(p.wetGain);
    const auto toneGroup = [&]() __attribute__((always_inline)) {
        if constexpr (kMixGroups) {
            V left, right;
            if constexpr (kToneChangesWet) {
                Pair filtered[w];
#pragma GCC unroll 4
                for (std::uint32_t s = 0; s < w; ++s) {
                    filtered[s] = loadWet(toned + s);
                    tone.FilterWet(filtered[s]);
                    storeWet(toned + s, filtered[s]);
                }
                I::Channels(filtered, left, right);
            } else {
                I::LoadPairs(wetSpan + 2 * toned, left, right);
            }
            V::Store(outL + toned, Mix(dry, V::Load(inL + toned), wetGain, left));
            V::Store(outR + toned, Mix(dry, V::Load(inR + toned), wetGain, right));
        } else {
#pragma GCC unroll 4
            for (std::uint32_t s = 0; s < w; ++s)
                toneOne(toned + s);
        }
        toned += w;
    };
    const auto toneUpTo = [&](std::size_t end) __attribute__((always_inline)) {
        while (toned + w <= end)
            toneGroup();
        for (; toned < end; ++toned)
            toneOne(toned);
    };

    struct Group {
        V aL, aR, bL, bR;
    };
    const Rings rings[2] = {{p.lines[0]}, {p.lines[kChannels - 1]}};
    const std::uint32_t n = p.count;
    for (std::uint32_t done = 0; done < n;) {
        std::uint32_t count = rings[0].Room(n - done);
        if constexpr (kStereo)
            count = rings[1].Room(count);
        const Heads left(rings[0], p.diffused[0] + done), right(rings[kChannels - 1], p.diffused[1] + done);
        double* const wetRun = wetSpan + (kStereo ? 2 : 1) * done;

        const auto inputsGroup = [&](std::size_t at, Group & in) __attribute__((always_inline)) {
            left.LoopInputs(at, gains, lastAL, lastBL, in.aL, in.bL);
            if constexpr (kStereo)
                right.LoopInputs(at, gains, lastAR, lastBR, in.aR, in.bR);
        };
        const auto lowpassGroup = [&](Group & lp) __attribute__((always_inline)) {
            if constexpr (kStereo)
                lowpasses.Step(gains.damp, lp.aL, lp.aR, lp.bL, lp.bR);
            else
                monoLowpasses.Step(gains.damp, lp.aL, lp.bL);
        };
        const auto tapsGroup = [&](std::size_t at, const Group& lp) __attribute__((always_inline)) {
            if constexpr (kStereo)
                I::StorePairs(wetRun + 2 * at, left.Wet(at, gains.g5, gains.g9, lp.aL, lp.bL),
                              right.Wet(at, gains.g5, gains.g9, lp.aR, lp.bR));
            else
                V::Store(wetRun + at, left.Wet(at, gains.g5, gains.g9, lp.aL, lp.bL));
        };
        // k: the sample in this run.
        std::size_t k = 0;
        if (2 * w <= count) {
            Group filtered, fed;
            inputsGroup(0, filtered);
            inputsGroup(w, fed);
            lowpassGroup(filtered);
            for (k = 2 * w; k + w <= count; k += w) {
                Group next;
                inputsGroup(k, next);
                tapsGroup(k - 2 * w, filtered);
                filtered = fed;
                fed = next;
                lowpassGroup(filtered);
                if (toned + w + kLag <= done + k)
                    toneGroup();
            }
            tapsGroup(k - 2 * w, filtered);
            lowpassGroup(fed);
            tapsGroup(k - w, fed);
        }
        if (k < count) {
            // The same operations, one sample at a time.
            double fbA[2] = {V::Last(lastAL), V::Last(lastAR)};
            double fbB[2] = {V::Last(lastBL), V::Last(lastBR)};
            for (; k < count; ++k) {
                const auto j = done + k;
                if constexpr (kStereo) {
                    double lpAL, lpAR, lpBL, lpBR;
                    left.LoopInputsOne(k, p, fbA[0], fbB[0], lpAL, lpBL);
                    right.LoopInputsOne(k, p, fbA[1], fbB[1], lpAR, lpBR);
                    lowpasses.StepOne(p.damp, lpAL, lpAR, lpBL, lpBR);
                    storeWet(j, Both(left.WetOne(k, p.g5, p.g9, lpAL, lpBL),
                                     right.WetOne(k, p.g5, p.g9, lpAR, lpBR)));
                } else {
                    double lpA, lpB;
                    left.LoopInputsOne(k, p, fbA[0], fbB[0], lpA, lpB);
                    monoLowpasses.StepOne(p.damp, lpA, lpB);
                    storeWet(j, left.WetOne(k, p.g5, p.g9, lpA, lpB));
                }
            }
            lastAL = V::LastOnly(fbA[0]), lastBL = V::LastOnly(fbB[0]);
            lastAR = V::LastOnly(fbA[1]), lastBR = V::LastOnly(fbB[1]);
        }
        for (int c = 0; c < kChannels; ++c)
            rings[c].Step(count);
        done += count;
        if (done > kLag)
            toneUpTo(done - kLag);
    }
    toneUpTo(n);
    if constexpr (kMixGroups) // the groups leave the wet value where they stored it
        if (n > 0)
            wet = loadWet(n - 1);

    p.feedbackA[0] = V::Last(lastAL), p.feedbackB[0] = V::Last(lastBL);
    p.feedbackA[1] = V::Last(lastAR), p.feedbackB[1] = V::Last(lastBR);
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
