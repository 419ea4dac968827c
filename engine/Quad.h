#pragma once

// Four doubles side by side (AVX2): four samples of one signal, or one sample of four. Plain IEEE
// operations only, and no FMA. Included only by source files built for AVX2 or wider; everything
// here has internal linkage, so no copy of it can stand in for another instruction set's.

#include <immintrin.h>

#include <cstdint>

namespace {

struct Quad {
    static constexpr std::uint32_t kWidth = 4;
    __m256d v;

    static Quad Load(const double* p) { return {_mm256_loadu_pd(p)}; }
    static void Store(double* p, Quad a) { _mm256_storeu_pd(p, a.v); }
    static Quad Splat(double x) { return {_mm256_set1_pd(x)}; }
    static Quad LastOnly(double x) { return {_mm256_set_pd(x, 0.0, 0.0, 0.0)}; }
    static double Last(Quad a) {
        return _mm_cvtsd_f64(_mm_unpackhi_pd(_mm256_extractf128_pd(a.v, 1), _mm256_extractf128_pd(a.v, 1)));
    }
    // [prev3, cur0, cur1, cur2]
    static Quad ShiftIn(Quad prev, Quad cur) {
#ifdef __AVX512VL__
        // One instruction where the file is built for AVX-512.
        const __m256i joined =
            _mm256_alignr_epi64(_mm256_castpd_si256(cur.v), _mm256_castpd_si256(prev.v), 3);
        return {_mm256_castsi256_pd(joined)};
#else
        const __m256d rotated = _mm256_permute4x64_pd(cur.v, _MM_SHUFFLE(2, 1, 0, 3));
        const __m256d prevLast = _mm256_permute4x64_pd(prev.v, _MM_SHUFFLE(2, 1, 0, 3));
        return {_mm256_blend_pd(rotated, prevLast, 1)};
#endif
    }
};
inline Quad operator+(Quad a, Quad b) {
    return {_mm256_add_pd(a.v, b.v)};
}
inline Quad operator-(Quad a, Quad b) {
    return {_mm256_sub_pd(a.v, b.v)};
}
inline Quad operator*(Quad a, Quad b) {
    return {_mm256_mul_pd(a.v, b.v)};
}

} // namespace
