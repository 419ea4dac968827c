#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// One circular delay line of the reverb network. Every access reads the sample at the position,
// writes the new one in its place and advances, so a line of length n delays by exactly n samples.
// A line always owns at least one sample, so a length of 0 still behaves (as a delay of one).
// Resize allocates; the two stage operations never do.
class DelayLine {
  public:
    // Releases the old memory and starts over with max(1, length) zeros at position 0.
    void Resize(std::uint32_t length) {
        std::vector<double>(std::max<std::uint32_t>(1, length), 0.0).swap(buffer_);
        length_ = length;
        position_ = 0;
    }

    // d = line[pos]; line[pos] = x: plain delay of `length` samples.
    double Delay(double x) {
        const double d = buffer_[position_];
        buffer_[position_] = x;
        Advance();
        return d;
    }

    // y = d - g*x; line[pos] = g*y + x: Schroeder all-pass, flat magnitude, gain g on both paths.
    // With an empty line it passes -g*x at once.
    double Allpass(double g, double x) {
        const double d = buffer_[position_];
        const double y = d - g * x;
        buffer_[position_] = g * y + x;
        Advance();
        return y;
    }

    std::uint32_t Length() const { return length_; }
    std::uint32_t Position() const { return position_; }
    const std::vector<double>& Samples() const { return buffer_; }

  private:
    void Advance() {
        if (++position_ >= length_)
            position_ = 0;
    }

    std::vector<double> buffer_ = std::vector<double>(1, 0.0);
    std::uint32_t length_ = 0;
    std::uint32_t position_ = 0;
};
