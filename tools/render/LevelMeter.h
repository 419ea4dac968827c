#pragma once

// The figures of the summary line, gathered block by block as the output is written: peak and
// RMS over both channels, and how long the output stays above -60 dBFS after the input ends.

#include <algorithm>
#include <cmath>

namespace halvane::render {

class LevelMeter {
  public:
    static constexpr double kRingThreshold = 0.001; // -60 dBFS

    // Samples as written: floats or doubles, measured in double.
    template <class T> void add(const T* left, const T* right, int count) {
        // Short independent chains in registers: a peak and two sums per channel, over even and
        // odd frames; selects rather than branches (which channel is louder changes at random).
        double peakLeft = peak_, peakRight = peak_;
        double sums[4] = {0.0, 0.0, 0.0, 0.0};
        const auto take = [&](int i, double& sumLeft, double& sumRight) {
            const double l = std::fabs(static_cast<double>(left[i]));
            const double r = std::fabs(static_cast<double>(right[i]));
            peakLeft = l > peakLeft ? l : peakLeft;
            peakRight = r > peakRight ? r : peakRight;
            sumLeft += l * l;
            sumRight += r * r;
        };
        int i = 0;
        for (; i + 2 <= count; i += 2) {
            take(i, sums[0], sums[1]);
            take(i + 1, sums[2], sums[3]);
        }
        for (; i < count; ++i)
            take(i, sums[0], sums[1]);
        peak_ = peakLeft > peakRight ? peakLeft : peakRight;
        sumSquares_ += (sums[0] + sums[2]) + (sums[1] + sums[3]);
        // The last frame above the ring threshold, searched from the end: one test in a loud block.
        for (int k = count; k-- > 0;) {
            if (std::fabs(static_cast<double>(left[k])) > kRingThreshold ||
                std::fabs(static_cast<double>(right[k])) > kRingThreshold) {
                lastLoud_ = frames_ + k;
                break;
            }
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
    long long frames_ = 0;
    long long lastLoud_ = -1;
    double peak_ = 0.0;
    double sumSquares_ = 0.0;
};

} // namespace halvane::render
