#pragma once

// Drives a ReverbEngine the way the plug-in does: all parameters in index order, then the first
// block's BeginFirstBlock and Reset, then blocks of audio.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "ParameterTable.h"
#include "ReverbEngine.h"

namespace enginetest {

using Settings = std::array<double, kNumParams>;

inline Settings Defaults() {
    return ParamDefaults();
}

inline Settings With(std::initializer_list<std::pair<int, double>> changes, Settings s = Defaults()) {
    for (const auto& [index, value] : changes)
        s[index] = value;
    return s;
}

inline void Deliver(ReverbEngine& engine, const Settings& s) {
    for (int i = 0; i < kNumParams; ++i)
        engine.ParamChanged(i, s[i]);
}

inline ReverbEngine MakeEngine(const Settings& s = Defaults(), double rate = 44100.0) {
    ReverbEngine engine;
    Deliver(engine, s);
    engine.BeginFirstBlock();
    engine.Reset(rate, s.data());
    return engine;
}

struct Stereo {
    std::vector<double> left;
    std::vector<double> right;
};

inline Stereo Silence(std::size_t frames) {
    return {std::vector<double>(frames, 0.0), std::vector<double>(frames, 0.0)};
}

// Deterministic uniform noise in [-amplitude, amplitude), different on the two channels.
inline Stereo Noise(std::size_t frames, double amplitude = 0.5, std::uint32_t seed = 1) {
    Stereo s = Silence(frames);
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        (i % 2 ? s.right : s.left)[i / 2] = (static_cast<double>(seed >> 8) / 8388608.0 - 1.0) * amplitude;
    }
    return s;
}

// Processes `in` in blocks of `block` frames (the last one shorter), by default in one block.
inline Stereo Process(ReverbEngine& engine, const Stereo& in, std::size_t block = 0) {
    const std::size_t frames = in.left.size();
    block = block ? block : std::max<std::size_t>(frames, 1);
    Stereo out = Silence(frames);
    for (std::size_t start = 0; start < frames; start += block) {
        const double* ins[2] = {in.left.data() + start, in.right.data() + start};
        double* outs[2] = {out.left.data() + start, out.right.data() + start};
        engine.ProcessBlock(ins, outs, static_cast<int>(std::min(block, frames - start)));
    }
    return out;
}

inline bool BitEqual(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

inline bool BitEqual(const Stereo& a, const Stereo& b) {
    return BitEqual(a.left, b.left) && BitEqual(a.right, b.right);
}

inline bool AllZero(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
}

} // namespace enginetest
