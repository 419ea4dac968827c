#pragma once

// The all-pass stage on a line's samples: y = d - g*x, the line keeps g*y + x (d: what the line
// held). Elementwise over a vector type V (Pair, Quad) or on one double. Internal linkage, like the
// kernels that use it: each source file built for its own instruction set keeps its own copy.

namespace {

template <class V> __attribute__((always_inline)) inline V Allpass(double* line, V g, V x) {
    const V d = V::Load(line);
    const V y = d - g * x;
    V::Store(line, g * y + x);
    return y;
}
__attribute__((always_inline)) inline double Allpass(double* line, double g, double x) {
    const double d = *line;
    const double y = d - g * x;
    *line = g * y + x;
    return y;
}

// The all-pass on what another line returns at `in`. The input is read again for the last sum
// through a pointer the compiler cannot see is the same, so it is loaded twice rather than held
// in a register for the whole stage, which would push some other value out to the stack.
template <class V> __attribute__((always_inline)) inline V AllpassOf(double* line, V g, const double* in) {
    const double* again = in;
    asm("" : "+r"(again));
    const V d = V::Load(line);
    const V y = d - g * V::Load(in);
    V::Store(line, g * y + V::Load(again));
    return y;
}

} // namespace
