// Speed of the reverb engine. The "rtf" counter is the real-time factor: seconds of stereo audio at
// 48 kHz processed per CPU second (above 1 means faster than real time).

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "ParameterTable.h"
#include "ReverbEngine.h"

namespace {

constexpr double kRate = 48000.0;

using Settings = std::array<double, kNumParams>;

constexpr Settings kDefaults = ParamDefaults();

constexpr Settings With(Settings s, std::initializer_list<std::pair<ParamIndex, double>> changes) {
    for (const auto& change : changes)
        s[change.first] = change.second;
    return s;
}

// "Very Large - Stadium": a 20 s tail.
constexpr Settings kStadium = With(kDefaults, {{kTime, 20.0}});

// Both tone filters on (Peak and Lowshelf), side by side on the output.
constexpr Settings kTwoFilters = With(kDefaults, {{kEqType, 1}, {kEqMode, 3}, {kEq2Type, 2}});

void BM_Process(benchmark::State& state, const Settings& settings) {
    const auto frames = static_cast<int>(state.range(0));
    ReverbEngine engine;
    for (int i = 0; i < kNumParams; ++i)
        engine.ParamChanged(i, settings[i]);
    engine.BeginFirstBlock();
    engine.Reset(kRate, settings.data());

    // One second of noise, loud enough that the silence gate never opens.
    const int length = static_cast<int>(kRate);
    std::vector<double> noise[2] = {std::vector<double>(length), std::vector<double>(length)};
    std::uint32_t seed = 12345;
    for (auto& channel : noise)
        for (double& x : channel) {
            seed = seed * 1664525u + 1013904223u;
            x = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        }
    std::vector<double> out[2] = {std::vector<double>(frames), std::vector<double>(frames)};
    double* outs[2] = {out[0].data(), out[1].data()};

    int start = 0;
    for (auto _ : state) {
        if (start + frames > length)
            start = 0;
        const double* ins[2] = {noise[0].data() + start, noise[1].data() + start};
        engine.ProcessBlock(ins, outs, frames);
        benchmark::DoNotOptimize(out[0].data());
        benchmark::DoNotOptimize(out[1].data());
        benchmark::ClobberMemory();
        start += frames;
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * frames / kRate;
    state.counters["rtf"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * frames);
}

} // namespace

BENCHMARK_CAPTURE(BM_Process, defaults, kDefaults)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(BM_Process, very_large_stadium, kStadium)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(BM_Process, two_filters_out_parallel, kTwoFilters)->Arg(64)->Arg(512);

BENCHMARK_MAIN();
