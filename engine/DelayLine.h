#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// One circular delay line of the reverb network. Every access reads the sample at the position,
// writes the new one in its place and advances, so a line of length n delays by exactly n samples.
// A line always owns at least one sample, so a length of 0 still behaves (as a delay of one).
// The signal path walks the ring in contiguous runs: Head() to the end of the ring, then from the
// start. Resize allocates; nothing else does.
class DelayLine {
  public:
    // Releases the old memory and starts over with max(1, length) zeros at position 0.
    void Resize(std::uint32_t length) {
        std::vector<double>(std::max<std::uint32_t>(1, length), 0.0).swap(buffer_);
        size_ = static_cast<std::uint32_t>(buffer_.size());
        length_ = length;
        position_ = 0;
    }

    std::uint32_t Length() const { return length_; }
    std::uint32_t Position() const { return position_; }
    const std::vector<double>& Samples() const { return buffer_; }

    // Samples in the ring, max(1, length): the position wraps there.
    std::uint32_t Size() const { return size_; }
    double* Data() { return buffer_.data(); }
    double* Head() { return buffer_.data() + position_; }
    // Samples from the position to the end of the ring.
    std::uint32_t Room() const { return size_ - position_; }
    // Moves the position on by n accesses, n up to Room().
    void Step(std::uint32_t n) {
        position_ += n;
        if (position_ == size_)
            position_ = 0;
    }
    // Moves the position on by n accesses; n up to Size() costs no division.
    void Advance(std::uint32_t n) {
        const std::uint32_t size = Size();
        if (n >= size)
            n %= size;
        position_ += n;
        if (position_ >= size)
            position_ -= size;
    }

  private:
    std::vector<double> buffer_ = std::vector<double>(1, 0.0);
    std::uint32_t size_ = 1; // buffer_.size(), kept at hand for the signal path's every span
    std::uint32_t length_ = 0;
    std::uint32_t position_ = 0;
};
