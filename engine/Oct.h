#pragma once

// Eight doubles side by side (AVX-512F): eight samples of one signal. Plain IEEE operations only,
// and no FMA. Included only by source files built for AVX-512; everything here has internal
// linkage, so no copy of it can stand in for another instruction set's.

#include <immintrin.h>

#include <cstdint>

namespace {

struct Oct {
    static constexpr std::uint32_t kWidth = 8;
    __m512d v;

    static Oct Load(const double* p) { return {_mm512_loadu_pd(p)}; }
    static void Store(double* p, Oct a) { _mm512_storeu_pd(p, a.v); }
    static Oct Splat(double x) { return {_mm512_set1_pd(x)}; }
};
inline Oct operator+(Oct a, Oct b) {
    return {_mm512_add_pd(a.v, b.v)};
}
inline Oct operator-(Oct a, Oct b) {
    return {_mm512_sub_pd(a.v, b.v)};
}
inline Oct operator*(Oct a, Oct b) {
    return {_mm512_mul_pd(a.v, b.v)};
}

} // namespace
