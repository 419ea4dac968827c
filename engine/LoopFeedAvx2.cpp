// Built with -mavx2 (no FMA: products and sums stay separately rounded). Only reached when the
// CPU reports AVX2; everything here is file-local but the one entry point.

#include "LoopFeed.h"

#include <immintrin.h>

#include "LoopFeedKernel.h"

namespace {

struct Avx2 {
    static constexpr std::uint32_t kWidth = 4;
    __m256d v;

    static Avx2 Load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static void Store(double* p, Avx2 a) { _mm256_storeu_pd(p, a.v); }
    static Avx2 Splat(double x) { return {_mm256_set1_pd(x)}; }
    static Avx2 LastOnly(double x) { return {_mm256_set_pd(x, 0.0, 0.0, 0.0)}; }
    static double Last(Avx2 a) {
        return _mm_cvtsd_f64(_mm_unpackhi_pd(_mm256_extractf128_pd(a.v, 1), _mm256_extractf128_pd(a.v, 1)));
    }
    // [prev3, cur0, cur1, cur2]
    static Avx2 ShiftIn(Avx2 prev, Avx2 cur) {
        const __m256d rotated = _mm256_permute4x64_pd(cur.v, _MM_SHUFFLE(2, 1, 0, 3));
        const __m256d prevLast = _mm256_permute4x64_pd(prev.v, _MM_SHUFFLE(2, 1, 0, 3));
        return {_mm256_blend_pd(rotated, prevLast, 1)};
    }
};
inline Avx2 operator+(Avx2 a, Avx2 b) {
    return {_mm256_add_pd(a.v, b.v)};
}
inline Avx2 operator-(Avx2 a, Avx2 b) {
    return {_mm256_sub_pd(a.v, b.v)};
}
inline Avx2 operator*(Avx2 a, Avx2 b) {
    return {_mm256_mul_pd(a.v, b.v)};
}

} // namespace

void RunLoopFeedAvx2(LoopFeed& run) {
    loopfeed::Run<Avx2>(run);
}
