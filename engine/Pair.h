#pragma once

// Two doubles side by side (SSE2, every x86-64): two samples of one signal, or the left and right
// channel of one sample. Plain IEEE operations only. Everything here has internal linkage, so each
// source file built for its own instruction set keeps its own copy.

#include <emmintrin.h>

#include <cstdint>

namespace {

struct Pair {
    static constexpr std::uint32_t kWidth = 2;
    __m128d v;

    static Pair Load(const double* p) { return {_mm_loadu_pd(p)}; }
    static void Store(double* p, Pair a) { _mm_storeu_pd(p, a.v); }
    static Pair Splat(double x) { return {_mm_set1_pd(x)}; }
    // A vector whose last element is x (the rest is never used), and the last element.
    static Pair LastOnly(double x) { return {_mm_set_pd(x, 0.0)}; }
    static double Last(Pair a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }
    // [last of prev, cur without its last]: each element's value one sample earlier.
    static Pair ShiftIn(Pair prev, Pair cur) { return {_mm_shuffle_pd(prev.v, cur.v, 1)}; }
};
inline Pair operator+(Pair a, Pair b) {
    return {_mm_add_pd(a.v, b.v)};
}
inline Pair operator-(Pair a, Pair b) {
    return {_mm_sub_pd(a.v, b.v)};
}
inline Pair operator*(Pair a, Pair b) {
    return {_mm_mul_pd(a.v, b.v)};
}
inline Pair Both(double left, double right) {
    return {_mm_set_pd(right, left)};
}
inline double Left(Pair p) {
    return _mm_cvtsd_f64(p.v);
}
inline double Right(Pair p) {
    return Pair::Last(p);
}

} // namespace
