#include "WetPath.h"

#include "WetPathKernel.h"

namespace {

using wetpath::Lowpass;

// Two samples a group: a vector is a Pair, two samples of one channel or one sample of two.
struct Sse2 {
    static constexpr std::uint32_t kWidth = 2;
    using V = Pair;
    using Twin = wetpath::PairTwin;

    // The four lowpasses of stereo as (A left, A right) and (B left, B right).
    struct Lowpasses {
        Pair a, b;

        Lowpasses(const double* lowpassA, const double* lowpassB)
            : a(Both(lowpassA[0], lowpassA[1])), b(Both(lowpassB[0], lowpassB[1])) {}
        void Save(double* lowpassA, double* lowpassB) const {
            lowpassA[0] = Left(a), lowpassA[1] = Right(a);
            lowpassB[0] = Left(b), lowpassB[1] = Right(b);
        }
        // Two samples of each loop input in, the lowpass outputs out.
        __attribute__((always_inline)) void Step(V damp, V& aL, V& aR, V& bL, V& bR) {
            const Pair a0 = Lowpass(a, damp, {_mm_unpacklo_pd(aL.v, aR.v)});
            const Pair a1 = Lowpass(a, damp, {_mm_unpackhi_pd(aL.v, aR.v)});
            const Pair b0 = Lowpass(b, damp, {_mm_unpacklo_pd(bL.v, bR.v)});
            const Pair b1 = Lowpass(b, damp, {_mm_unpackhi_pd(bL.v, bR.v)});
            aL = {_mm_unpacklo_pd(a0.v, a1.v)}, aR = {_mm_unpackhi_pd(a0.v, a1.v)};
            bL = {_mm_unpacklo_pd(b0.v, b1.v)}, bR = {_mm_unpackhi_pd(b0.v, b1.v)};
        }
        __attribute__((always_inline)) void StepOne(double damp, double& aL, double& aR, double& bL,
                                                    double& bR) {
            const Pair d = Pair::Splat(damp);
            const Pair x = Lowpass(a, d, Both(aL, aR));
            const Pair y = Lowpass(b, d, Both(bL, bR));
            aL = Left(x), aR = Right(x);
            bL = Left(y), bR = Right(y);
        }
    };

    // The two lowpasses of "Mono", a group of samples at a time.
    struct MonoLowpasses : wetpath::MonoChain {
        using MonoChain::MonoChain;
        __attribute__((always_inline)) void Step(V damp, V& a, V& b) {
            const Pair o0 = Lowpass(ab, damp, {_mm_unpacklo_pd(a.v, b.v)});
            const Pair o1 = Lowpass(ab, damp, {_mm_unpackhi_pd(a.v, b.v)});
            a = {_mm_unpacklo_pd(o0.v, o1.v)}, b = {_mm_unpackhi_pd(o0.v, o1.v)};
        }
    };

    // Two (left, right) pairs at `pairs`, or in registers, as two samples of each channel.
    __attribute__((always_inline)) static void Channels(const Pair* pairs, V& left, V& right) {
        left = {_mm_unpacklo_pd(pairs[0].v, pairs[1].v)}, right = {_mm_unpackhi_pd(pairs[0].v, pairs[1].v)};
    }
    __attribute__((always_inline)) static void LoadPairs(const double* pairs, V& left, V& right) {
        const Pair both[2] = {Pair::Load(pairs), Pair::Load(pairs + 2)};
        Channels(both, left, right);
    }

    // Two samples of each channel as (left, right) pairs at `pairs`.
    __attribute__((always_inline)) static void StorePairs(double* pairs, V left, V right) {
        _mm_storeu_pd(pairs, _mm_unpacklo_pd(left.v, right.v));
        _mm_storeu_pd(pairs + 2, _mm_unpackhi_pd(left.v, right.v));
    }
};

} // namespace

void RunWetPath(WetPath& path) {
    wetpath::Dispatch<Sse2>(path);
}
