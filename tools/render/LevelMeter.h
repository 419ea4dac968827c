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
        // In locals, so the loop keeps them in registers.
        double peak = peak_;
        double sumLeft = 0.0;
        double sumRight = 0.0;
        long long lastLoud = lastLoud_;
        for (int i = 0; i < count; ++i) {
            const double l = std::fabs(static_cast<double>(left[i]));
            const double r = std::fabs(static_cast<double>(right[i]));
            // Selects rather than branches: which channel is louder changes at random.
            peak = l > peak ? l : peak;
            peak = r > peak ? r : peak;
            // One sum per channel: two short dependency chains instead of one long one.
            sumLeft += l * l;
            sumRight += r * r;
            const bool loud = (l > kRingThreshold) | (r > kRingThreshold);
            lastLoud = loud ? frames_ + i : lastLoud;
        }
        peak_ = peak;
        sumSquares_ += sumLeft + sumRight;
        lastLoud_ = lastLoud;
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
