#pragma once

// Walking a delay line's ring in contiguous runs. Internal linkage, like the kernels that use it:
// each source file built for its own instruction set keeps its own copy.

#include <algorithm>
#include <cstdint>

#include "DelayLine.h"

namespace {

// A run of one line's ring: `count` samples from the position on, never across the wrap.
struct RingRun {
    double* data;
    std::uint32_t size;
    std::uint32_t position;

    __attribute__((always_inline)) explicit RingRun(DelayLine& line)
        : data(line.Data()), size(line.Size()), position(line.Position()) {}
    double* Head() const { return data + position; }
    std::uint32_t Room() const { return size - position; }
    void Step(std::uint32_t n) {
        position += n;
        if (position >= size)
            position -= size;
    }
};

// The room left before the first of the runs wraps, at most n; then all runs moved on together.
template <class... R>
inline __attribute__((always_inline)) std::uint32_t CommonRoom(std::uint32_t n, const R&... runs) {
    ((n = std::min(n, runs.Room())), ...);
    return n;
}
template <class... R> inline __attribute__((always_inline)) void StepAll(std::uint32_t n, R&... runs) {
    (runs.Step(n), ...);
}

} // namespace
