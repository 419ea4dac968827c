#include "LoopFeed.h"

#include <emmintrin.h>

#include "LoopFeedKernel.h"

namespace {

struct Sse2 {
    static constexpr std::uint32_t kWidth = 2;
    __m128d v;

    static Sse2 Load(const double* p) { return {_mm_loadu_pd(p)}; }
    static void Store(double* p, Sse2 a) { _mm_storeu_pd(p, a.v); }
    static Sse2 Splat(double x) { return {_mm_set1_pd(x)}; }
    // A vector whose last element is x (the rest is never used).
    static Sse2 LastOnly(double x) { return {_mm_set_pd(x, 0.0)}; }
    static double Last(Sse2 a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }
    // [last of prev, cur without its last]: each element's value one sample earlier.
    static Sse2 ShiftIn(Sse2 prev, Sse2 cur) { return {_mm_shuffle_pd(prev.v, cur.v, 1)}; }
};
inline Sse2 operator+(Sse2 a, Sse2 b) {
    return {_mm_add_pd(a.v, b.v)};
}
inline Sse2 operator-(Sse2 a, Sse2 b) {
    return {_mm_sub_pd(a.v, b.v)};
}
inline Sse2 operator*(Sse2 a, Sse2 b) {
    return {_mm_mul_pd(a.v, b.v)};
}

} // namespace

void RunLoopFeed(LoopFeed& run) {
    loopfeed::Run<Sse2>(run);
}
