#pragma once

// The figures of the summary line, gathered block by block as the output is written: peak and
// RMS over both channels, and how long the output stays above -60 dBFS after the input ends.

#include <algorithm>
#include <cmath>

#include <emmintrin.h>

namespace halvane::render {

class LevelMeter {
  public:
    static constexpr double kRingThreshold = 0.001; // -60 dBFS

    // Samples as written: floats or doubles, measured in double.
    template <class T> void add(const T* left, const T* right, int count) {
        // Each frame as a (left, right) pair, four frames a turn: two peaks and four sums of
        // squares, so no chain of dependent operations sets the pace. max(x, peak) keeps the peak
        // when x is NaN, as x > peak ? x : peak does.
        const __m128d sign = _mm_set1_pd(-0.0);
        __m128d peaks[2] = {_mm_set1_pd(peak_), _mm_set1_pd(peak_)};
        __m128d sums[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
        const auto take = [&](__m128d frame, int lane) {
            const __m128d a = _mm_andnot_pd(sign, frame);
            peaks[lane & 1] = _mm_max_pd(a, peaks[lane & 1]);
            sums[lane] = _mm_add_pd(sums[lane], _mm_mul_pd(a, a));
        };
        int i = 0;
        for (; i + 4 <= count; i += 4) {
            const __m128d l0 = load2(left + i), r0 = load2(right + i);
            const __m128d l1 = load2(left + i + 2), r1 = load2(right + i + 2);
            take(_mm_unpacklo_pd(l0, r0), 0);
            take(_mm_unpackhi_pd(l0, r0), 1);
            take(_mm_unpacklo_pd(l1, r1), 2);
            take(_mm_unpackhi_pd(l1, r1), 3);
        }
        for (; i < count; ++i)
            take(_mm_set_pd(static_cast<double>(right[i]), static_cast<double>(left[i])), i & 3);
        const __m128d peak = _mm_max_pd(peaks[0], peaks[1]);
        const double peakLeft = _mm_cvtsd_f64(peak), peakRight = _mm_cvtsd_f64(_mm_unpackhi_pd(peak, peak));
        peak_ = peakLeft > peakRight ? peakLeft : peakRight;
        const __m128d sum = _mm_add_pd(_mm_add_pd(sums[0], sums[2]), _mm_add_pd(sums[1], sums[3]));
        sumSquares_ += _mm_cvtsd_f64(sum) + _mm_cvtsd_f64(_mm_unpackhi_pd(sum, sum));
        // The last frame above the ring threshold, searched from the end four frames at a time: one
        // test in a loud block.
        const __m128d limit = _mm_set1_pd(kRingThreshold);
        const auto loud = [&](int at) { // frames at, at + 1 as bits 0, 1
            const __m128d l = _mm_andnot_pd(sign, load2(left + at)),
                          r = _mm_andnot_pd(sign, load2(right + at));
            return _mm_movemask_pd(_mm_or_pd(_mm_cmpgt_pd(l, limit), _mm_cmpgt_pd(r, limit)));
        };
        int k = count;
        for (; k >= 4; k -= 4) {
            const int bits = loud(k - 4) | loud(k - 2) << 2;
            if (bits) {
                lastLoud_ = frames_ + k - 4 + (31 - __builtin_clz(static_cast<unsigned>(bits)));
                k = -1;
            }
        }
        for (; k-- > 0;)
            if (std::fabs(static_cast<double>(left[k])) > kRingThreshold ||
                std::fabs(static_cast<double>(right[k])) > kRingThreshold) {
                lastLoud_ = frames_ + k;
                break;
            }
        frames_ += count > 0 ? count : 0;
    }

    long long frames() const { return frames_; }
    double peak() const { return peak_; }
    double rms() const {
        return frames_ ? std::sqrt(sumSquares_ / (2.0 * static_cast<double>(frames_))) : 0.0;
    }

    // Seconds from the end of the input to the end of the last frame above -60 dBFS; 0 when
    // the output is quiet by the time the input ends.
    double ringSeconds(long long inputFrames, double rate) const {
        const long long end = lastLoud_ + 1;
        return end > inputFrames ? static_cast<double>(end - inputFrames) / rate : 0.0;
    }

    static double decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }

  private:
    // Two samples from p, as doubles.
    static __m128d load2(const double* p) { return _mm_loadu_pd(p); }
    static __m128d load2(const float* p) {
        return _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
    }

    long long frames_ = 0;
    long long lastLoud_ = -1;
    double peak_ = 0.0;
    double sumSquares_ = 0.0;
};

} // namespace halvane::render
