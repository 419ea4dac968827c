#pragma once

// The four-sample group of the wet path: a vector of four doubles and the shuffles between samples
// and channels. Included by the source files built for AVX2 and for AVX-512 (the same operations;
// AVX-512 only lends its 32 registers); everything here has internal linkage.

#include "Quad.h"
#include "WetPathKernel.h"

namespace {

using wetpath::Lowpass;

// Rows to columns: r_k[i] becomes c_i[k].
__attribute__((always_inline)) inline void Transpose(Quad& r0, Quad& r1, Quad& r2, Quad& r3) {
    const __m256d t0 = _mm256_unpacklo_pd(r0.v, r1.v), t1 = _mm256_unpackhi_pd(r0.v, r1.v);
    const __m256d t2 = _mm256_unpacklo_pd(r2.v, r3.v), t3 = _mm256_unpackhi_pd(r2.v, r3.v);
    r0 = {_mm256_permute2f128_pd(t0, t2, 0x20)}, r1 = {_mm256_permute2f128_pd(t1, t3, 0x20)};
    r2 = {_mm256_permute2f128_pd(t0, t2, 0x31)}, r3 = {_mm256_permute2f128_pd(t1, t3, 0x31)};
}

// Both filters in one vector, (filter 1 left, right, filter 2 left, right), each lane the
// filter step of its own filter and channel; the sum adds filter 2's pair to filter 1's.
struct QuadTwin {
    Quad b0, b1, b2, a1, a2;
    Quad x1, x2, y1, y2;

    void Load(const ToneFilter* f, const ToneState* h) {
        const auto both = [f](double ToneFilter::*c) {
            return Quad{_mm256_set_pd(f[1].*c, f[1].*c, f[0].*c, f[0].*c)};
        };
        b0 = both(&ToneFilter::b0), b1 = both(&ToneFilter::b1), b2 = both(&ToneFilter::b2);
        a1 = both(&ToneFilter::a1), a2 = both(&ToneFilter::a2);
        const auto lanes = [h](double ToneState::*v) {
            return Quad{_mm256_set_pd(h[3].*v, h[2].*v, h[1].*v, h[0].*v)};
        };
        x1 = lanes(&ToneState::x1), x2 = lanes(&ToneState::x2), y1 = lanes(&ToneState::y1),
        y2 = lanes(&ToneState::y2);
    }
    void Save(ToneState* h) const {
        double v[4][4];
        _mm256_storeu_pd(v[0], x1.v), _mm256_storeu_pd(v[1], x2.v);
        _mm256_storeu_pd(v[2], y1.v), _mm256_storeu_pd(v[3], y2.v);
        for (int lane = 0; lane < 4; ++lane)
            h[lane] = ToneState{v[0][lane], v[1][lane], v[2][lane], v[3][lane]};
    }
    __attribute__((always_inline)) Pair Step(Pair half) {
        const Quad s{_mm256_insertf128_pd(_mm256_castpd128_pd256(half.v), half.v, 1)};
        const Quad y = ((b1 * x1 + s * b0) + b2 * x2) - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = s;
        y2 = y1;
        y1 = y;
        return Pair{_mm256_castpd256_pd128(y.v)} + Pair{_mm256_extractf128_pd(y.v, 1)};
    }
};

// Four samples a group.
struct QuadPath {
    static constexpr std::uint32_t kWidth = 4;
    using V = Quad;
    using Twin = QuadTwin;

    // The four lowpasses of stereo as one vector (A left, A right, B left, B right).
    struct Lowpasses {
        Quad q;

        Lowpasses(const double* lowpassA, const double* lowpassB)
            : q{_mm256_set_pd(lowpassB[1], lowpassB[0], lowpassA[1], lowpassA[0])} {}
        void Save(double* lowpassA, double* lowpassB) const {
            double lanes[4];
            _mm256_storeu_pd(lanes, q.v);
            lowpassA[0] = lanes[0], lowpassA[1] = lanes[1], lowpassB[0] = lanes[2], lowpassB[1] = lanes[3];
        }
        // Four samples of each loop input in, the lowpass outputs out.
        __attribute__((always_inline)) void Step(Quad damp, Quad& aL, Quad& aR, Quad& bL, Quad& bR) {
            Transpose(aL, aR, bL, bR);
            aL = Lowpass(q, damp, aL);
            aR = Lowpass(q, damp, aR);
            bL = Lowpass(q, damp, bL);
            bR = Lowpass(q, damp, bR);
            Transpose(aL, aR, bL, bR);
        }
        __attribute__((always_inline)) void StepOne(double damp, double& aL, double& aR, double& bL,
                                                    double& bR) {
            double lanes[4];
            _mm256_storeu_pd(lanes, Lowpass(q, Quad::Splat(damp), {_mm256_set_pd(bR, bL, aR, aL)}).v);
            aL = lanes[0], aR = lanes[1], bL = lanes[2], bR = lanes[3];
        }
    };

    // The two lowpasses of "Mono", a group of samples at a time.
    struct MonoLowpasses : wetpath::MonoChain {
        using MonoChain::MonoChain;
        __attribute__((always_inline)) void Step(Quad damp, Quad& a, Quad& b) {
            const Pair d = {_mm256_castpd256_pd128(damp.v)};
            const __m256d lo = _mm256_unpacklo_pd(a.v, b.v), hi = _mm256_unpackhi_pd(a.v, b.v);
            const Pair o0 = Lowpass(ab, d, {_mm256_castpd256_pd128(lo)});
            const Pair o1 = Lowpass(ab, d, {_mm256_castpd256_pd128(hi)});
            const Pair o2 = Lowpass(ab, d, {_mm256_extractf128_pd(lo, 1)});
            const Pair o3 = Lowpass(ab, d, {_mm256_extractf128_pd(hi, 1)});
            const __m256d u = _mm256_insertf128_pd(_mm256_castpd128_pd256(o0.v), o2.v, 1);
            const __m256d v = _mm256_insertf128_pd(_mm256_castpd128_pd256(o1.v), o3.v, 1);
            a = {_mm256_unpacklo_pd(u, v)}, b = {_mm256_unpackhi_pd(u, v)};
        }
    };

    // Four (left, right) pairs at `pairs`, or in registers, as four samples of each channel.
    __attribute__((always_inline)) static void LoadPairs(const double* pairs, Quad& left, Quad& right) {
        const __m256d p01 = _mm256_loadu_pd(pairs), p23 = _mm256_loadu_pd(pairs + 4);
        left = {_mm256_permute4x64_pd(_mm256_unpacklo_pd(p01, p23), _MM_SHUFFLE(3, 1, 2, 0))};
        right = {_mm256_permute4x64_pd(_mm256_unpackhi_pd(p01, p23), _MM_SHUFFLE(3, 1, 2, 0))};
    }
    __attribute__((always_inline)) static void Channels(const Pair* pairs, Quad& left, Quad& right) {
        const __m256d a = _mm256_insertf128_pd(_mm256_castpd128_pd256(pairs[0].v), pairs[2].v, 1);
        const __m256d b = _mm256_insertf128_pd(_mm256_castpd128_pd256(pairs[1].v), pairs[3].v, 1);
        left = {_mm256_unpacklo_pd(a, b)}, right = {_mm256_unpackhi_pd(a, b)};
    }

    // Four samples of each channel as (left, right) pairs at `pairs`.
    __attribute__((always_inline)) static void StorePairs(double* pairs, Quad left, Quad right) {
        const __m256d lo = _mm256_unpacklo_pd(left.v, right.v), hi = _mm256_unpackhi_pd(left.v, right.v);
        _mm256_storeu_pd(pairs, _mm256_permute2f128_pd(lo, hi, 0x20));
        _mm256_storeu_pd(pairs + 4, _mm256_permute2f128_pd(lo, hi, 0x31));
    }
};

} // namespace
