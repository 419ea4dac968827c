#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define HALVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALVANE_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef HALVANE_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

// One circular delay line of the reverb network. Every access reads the sample at the position,
// writes the new one in its place and advances, so a line of length n delays by exactly n samples.
// A line always owns at least one sample, so a length of 0 still behaves (as a delay of one).
// The signal path walks the ring in contiguous runs: Head() to the end of the ring, then from the
// start, and writes only ahead of Step or Advance. Resize allocates; nothing else does.
class DelayLine {
  public:
    DelayLine() { Allocate(1); }
    DelayLine(const DelayLine& other) { CopyFrom(other); }
    DelayLine& operator=(const DelayLine& other) {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    // Starts over with max(1, length) zeros at position 0. Lines are sized again at every Pre Delay or
    // stage change and every set-up, often several times before a block: a ring keeps its memory while
    // it fits (a line of that length may well be asked for again), and empties only what the signal may
    // have written since it was last emptied.
    void Resize(std::uint32_t length) {
        const std::uint32_t size = std::max<std::uint32_t>(1, length);
        if (size > capacity_) {
            Allocate(size);
        } else {
            Expose(size);
            if (touched_)
                zeroed_ = 0;
            if (size > zeroed_) {
                std::memset(ring_.get() + zeroed_, 0, sizeof(double) * (size - zeroed_)); // zero bits: +0.0
                zeroed_ = size;
            }
        }
        touched_ = false;
        length_ = length;
        position_ = 0;
    }

    std::uint32_t Length() const { return length_; }
    std::uint32_t Position() const { return position_; }
    // A copy of the ring, for inspection.
    std::vector<double> Samples() const { return std::vector<double>(ring_.get(), ring_.get() + size_); }

    // Samples in the ring, max(1, length): the position wraps there.
    std::uint32_t Size() const { return size_; }
    double* Data() { return ring_.get(); }
    double* Head() { return ring_.get() + position_; }
    // Samples from the position to the end of the ring.
    std::uint32_t Room() const { return size_ - position_; }
    // Moves the position on by n accesses, n up to Room().
    void Step(std::uint32_t n) {
        touched_ = true;
        position_ += n;
        if (position_ == size_)
            position_ = 0;
    }
    // Moves the position on by n accesses; n up to Size() costs no division.
    void Advance(std::uint32_t n) {
        touched_ = true;
        const std::uint32_t size = Size();
        if (n >= size)
            n %= size;
        position_ += n;
        if (position_ >= size)
            position_ -= size;
    }

  private:
    // `size` zeros in new memory. calloc takes a long ring straight from pages the system zeroes, so a
    // page of it costs nothing before the signal reaches it (at the highest rates a ring of Pre Delay
    // is tens of megabytes). Throws std::bad_alloc, as a vector does.
    void Allocate(std::uint32_t size) {
        auto* ring = static_cast<double*>(std::calloc(size, sizeof(double)));
        if (!ring)
            throw std::bad_alloc();
        ring_.reset(ring);
        size_ = size;
        capacity_ = size;
        zeroed_ = size;
    }
    // The ring is the first `size` samples of its memory. Under AddressSanitizer the rest is out of
    // bounds, as it would be in memory of the ring's own size.
    void Expose(std::uint32_t size) {
#ifdef HALVANE_ADDRESS_SANITIZER
        if (size > size_)
            ASAN_UNPOISON_MEMORY_REGION(ring_.get() + size_, sizeof(double) * (size - size_));
        else
            ASAN_POISON_MEMORY_REGION(ring_.get() + size, sizeof(double) * (size_ - size));
#endif
        size_ = size;
    }
    void CopyFrom(const DelayLine& other) {
        Allocate(other.size_);
        std::memcpy(ring_.get(), other.ring_.get(), sizeof(double) * other.size_);
        touched_ = true;
        length_ = other.length_;
        position_ = other.position_;
    }

    struct Free {
        void operator()(double* ring) const { std::free(ring); }
    };
    std::unique_ptr<double, Free> ring_;
    std::uint32_t size_ = 0; // kept at hand for the signal path's every span
    std::uint32_t capacity_ = 0;
    std::uint32_t zeroed_ = 0; // samples from the start known to be zero unless touched_
    bool touched_ = false;     // the signal has moved through the ring since it was last emptied
    std::uint32_t length_ = 0;
    std::uint32_t position_ = 0;
};
