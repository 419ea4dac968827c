// Halvane's engine beside zita-rev1 (Debian's rev-plugins, loaded as a LADSPA plug-in) in one
// process: the same noise, rate and block sizes, one core. Prints each real-time factor (seconds of
// stereo 48 kHz audio per CPU second), Halvane's ratio to the peer, the serial floor (the four
// one-pole lowpass recurrences of the two loops in two channels alone, which no restructuring
// removes), and the idle engine (silence gate open) beside a plain copy. Measures only; asserts
// nothing.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <ladspa.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ParameterTable.h"
#include "ReverbEngine.h"

namespace {

constexpr double kRate = 48000.0;
constexpr const char* kPeerLibrary = "/usr/lib/ladspa/zita-reverbs.so";
constexpr const char* kPeerLabel = "zita-reverb";

using Settings = std::array<double, kNumParams>;

constexpr Settings kDefaults = ParamDefaults();

// Both tone filters on (Peak and Lowshelf), side by side on the output ("Out Parallel").
constexpr Settings TwoFilters() {
    Settings s = kDefaults;
    s[kEqType] = 1;
    s[kEqMode] = 3;
    s[kEq2Type] = 2;
    return s;
}
constexpr Settings kTwoFilters = TwoFilters();

// One second of noise, loud enough that Halvane's silence gate never opens; both sample widths
// hold the same values.
struct Input {
    std::vector<double> wide[2];
    std::vector<float> narrow[2];

    Input() {
        std::uint32_t seed = 12345;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < static_cast<int>(kRate); ++i) {
                seed = seed * 1664525u + 1013904223u;
                const auto x = static_cast<float>(static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
                narrow[c].push_back(x);
                wide[c].push_back(x);
            }
    }
};

const Input& Noise() {
    static const Input input;
    return input;
}

// Runs `process(start, frames)` over the noise in blocks of state.range(0) and reports the rate.
template <class Process> void Measure(benchmark::State& state, Process process) {
    const auto frames = static_cast<int>(state.range(0));
    const int length = static_cast<int>(kRate);
    int start = 0;
    for (auto _ : state) {
        if (start + frames > length)
            start = 0;
        process(start, frames);
        benchmark::ClobberMemory();
        start += frames;
    }
    const double audioSeconds = static_cast<double>(state.iterations()) * frames / kRate;
    state.counters["rtf"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void BM_Halvane(benchmark::State& state, const Settings& settings) {
    ReverbEngine engine;
    for (int i = 0; i < kNumParams; ++i)
        engine.ParamChanged(i, settings[i]);
    engine.BeginFirstBlock();
    engine.Reset(kRate, settings.data());
    std::vector<double> out[2] = {std::vector<double>(state.range(0)), std::vector<double>(state.range(0))};
    double* outs[2] = {out[0].data(), out[1].data()};
    Measure(state, [&](int start, int frames) {
        const double* ins[2] = {Noise().wide[0].data() + start, Noise().wide[1].data() + start};
        engine.ProcessBlock(ins, outs, frames);
        benchmark::DoNotOptimize(out[0].data());
    });
}

// Idle: the silence gate open, audio passing through, beside a plain copy of the same block.
void BM_HalvaneIdle(benchmark::State& state) {
    ReverbEngine engine;
    for (int i = 0; i < kNumParams; ++i)
        engine.ParamChanged(i, kDefaults[i]);
    engine.BeginFirstBlock();
    engine.Reset(kRate, kDefaults.data());
    const auto frames = static_cast<int>(state.range(0));
    std::vector<double> quiet[2] = {std::vector<double>(frames, 0.0), std::vector<double>(frames, 0.0)};
    std::vector<double> out[2] = {std::vector<double>(frames), std::vector<double>(frames)};
    const double* ins[2] = {quiet[0].data(), quiet[1].data()};
    double* outs[2] = {out[0].data(), out[1].data()};
    while (engine.IsProcessing())
        engine.ProcessBlock(ins, outs, frames);
    Measure(state, [&](int, int n) {
        engine.ProcessBlock(ins, outs, n);
        benchmark::DoNotOptimize(out[0].data());
    });
}

void BM_Copy(benchmark::State& state) {
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::vector<double> quiet[2] = {std::vector<double>(frames, 0.0), std::vector<double>(frames, 0.0)};
    std::vector<double> out[2] = {std::vector<double>(frames), std::vector<double>(frames)};
    Measure(state, [&](int, int n) {
        for (int c = 0; c < 2; ++c)
            std::memcpy(out[c].data(), quiet[c].data(), static_cast<std::size_t>(n) * sizeof(double));
        benchmark::DoNotOptimize(out[0].data());
    });
}

// lp = (lp - x) * c + x four times over, as the engine's loops run it (no fused multiply-add).
void BM_SerialFloor(benchmark::State& state) {
    const double c = std::exp(8000.0 * -6.283185307179586 / kRate);
    const double c2 = c * 0.5; // a second pole, so no two recurrences are the same expression
    double lp[4] = {0.0, 0.0, 0.0, 0.0};
    std::vector<double> out[2] = {std::vector<double>(state.range(0)), std::vector<double>(state.range(0))};
    Measure(state, [&](int start, int frames) {
        const double* inL = Noise().wide[0].data() + start;
        const double* inR = Noise().wide[1].data() + start;
        double a = lp[0], b = lp[1], d = lp[2], e = lp[3];
        for (int i = 0; i < frames; ++i) {
            a = (a - inL[i]) * c + inL[i];
            b = (b - inL[i]) * c2 + inL[i];
            d = (d - inR[i]) * c + inR[i];
            e = (e - inR[i]) * c2 + inR[i];
            out[0][i] = a;
            out[1][i] = d;
        }
        lp[0] = a, lp[1] = b, lp[2] = d, lp[3] = e;
        benchmark::DoNotOptimize(lp);
        benchmark::DoNotOptimize(out[0].data());
    });
}

// The peer through its LADSPA descriptor, every control at its declared default.
class Peer {
  public:
    Peer() {
        library_ = dlopen(kPeerLibrary, RTLD_NOW | RTLD_LOCAL);
        if (!library_)
            return;
        const auto entry = reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(library_, "ladspa_descriptor"));
        for (unsigned long i = 0; entry && !descriptor_; ++i) {
            const LADSPA_Descriptor* d = entry(i);
            if (!d)
                break;
            if (std::string(d->Label) == kPeerLabel)
                descriptor_ = d;
        }
    }
    ~Peer() {
        if (library_)
            dlclose(library_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    const LADSPA_Descriptor* Descriptor() const { return descriptor_; }

    static float DefaultOf(const LADSPA_PortRangeHint& hint) {
        const auto h = hint.HintDescriptor;
        const float lo = hint.LowerBound, hi = hint.UpperBound;
        const bool log = LADSPA_IS_HINT_LOGARITHMIC(h) && lo > 0.0f && hi > 0.0f;
        const auto between = [&](float w) {
            return log ? std::exp(std::log(lo) * (1.0f - w) + std::log(hi) * w) : lo * (1.0f - w) + hi * w;
        };
        switch (h & LADSPA_HINT_DEFAULT_MASK) {
        case LADSPA_HINT_DEFAULT_MINIMUM:
            return lo;
        case LADSPA_HINT_DEFAULT_LOW:
            return between(0.25f);
        case LADSPA_HINT_DEFAULT_MIDDLE:
            return between(0.5f);
        case LADSPA_HINT_DEFAULT_HIGH:
            return between(0.75f);
        case LADSPA_HINT_DEFAULT_MAXIMUM:
            return hi;
        case LADSPA_HINT_DEFAULT_1:
            return 1.0f;
        case LADSPA_HINT_DEFAULT_100:
            return 100.0f;
        case LADSPA_HINT_DEFAULT_440:
            return 440.0f;
        default:
            return 0.0f;
        }
    }

  private:
    void* library_ = nullptr;
    const LADSPA_Descriptor* descriptor_ = nullptr;
};

void BM_Peer(benchmark::State& state) {
    static Peer peer;
    const LADSPA_Descriptor* d = peer.Descriptor();
    if (!d) {
        state.SkipWithError("zita-rev1 not found: install rev-plugins");
        return;
    }
    const auto frames = static_cast<unsigned long>(state.range(0));
    LADSPA_Handle h = d->instantiate(d, static_cast<unsigned long>(kRate));
    std::vector<float> controls(d->PortCount);
    std::vector<float> out[2] = {std::vector<float>(frames), std::vector<float>(frames)};
    int audioIn = 0, audioOut = 0;
    for (unsigned long p = 0; p < d->PortCount; ++p) {
        const auto kind = d->PortDescriptors[p];
        if (LADSPA_IS_PORT_CONTROL(kind)) {
            controls[p] = Peer::DefaultOf(d->PortRangeHints[p]);
            d->connect_port(h, p, &controls[p]);
        } else if (LADSPA_IS_PORT_OUTPUT(kind)) {
            d->connect_port(h, p, out[audioOut++ % 2].data());
        } else {
            // Connected again for every block, at the block's place in the noise.
            ++audioIn;
        }
    }
    if (d->activate)
        d->activate(h);
    Measure(state, [&](int start, int) {
        int channel = 0;
        for (unsigned long p = 0; p < d->PortCount; ++p)
            if (LADSPA_IS_PORT_AUDIO(d->PortDescriptors[p]) && LADSPA_IS_PORT_INPUT(d->PortDescriptors[p]))
                d->connect_port(h, p, const_cast<float*>(Noise().narrow[channel++ % 2].data() + start));
        d->run(h, frames);
        benchmark::DoNotOptimize(out[0].data());
    });
    if (d->deactivate)
        d->deactivate(h);
    d->cleanup(h);
    benchmark::DoNotOptimize(audioIn);
}

// Collects every real-time factor for the summary after the table.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median stands for the benchmark; otherwise its one run does.
        for (const Run& run : runs) {
            const auto rtf = run.counters.find("rtf");
            if (run.error_occurred || rtf == run.counters.end())
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians_.count(run.run_name.str())))
                rtf_[run.run_name.str()] = rtf->second.value;
            if (median)
                medians_.insert(run.run_name.str());
        }
    }

    void PrintSummary() const {
        std::printf("\nReal-time factors (stereo, 48 kHz, one core):\n");
        for (const char* block : {"64", "512"}) {
            const double halvane = Find(std::string("BM_Halvane/defaults/") + block);
            const double filters = Find(std::string("BM_Halvane/two_filters_out_parallel/") + block);
            const double peer = Find(std::string("BM_Peer/") + block);
            const double floor = Find(std::string("BM_SerialFloor/") + block);
            std::printf(
                "  blocks of %3s: Halvane %6.0f, both filters \"Out Parallel\" %6.0f, zita-rev1 %6.0f, "
                "Halvane / zita-rev1 %5.2f, serial floor %6.0f\n",
                block, halvane, filters, peer, peer > 0.0 ? halvane / peer : 0.0, floor);
        }
    }

  private:
    double Find(const std::string& name) const {
        const auto it = rtf_.find(name);
        return it == rtf_.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> rtf_;
    std::set<std::string> medians_;
};

} // namespace

BENCHMARK_CAPTURE(BM_Halvane, defaults, kDefaults)->Arg(64)->Arg(512);
BENCHMARK_CAPTURE(BM_Halvane, two_filters_out_parallel, kTwoFilters)->Arg(64)->Arg(512);
BENCHMARK(BM_Peer)->Arg(64)->Arg(512);
BENCHMARK(BM_SerialFloor)->Arg(64)->Arg(512);
BENCHMARK(BM_HalvaneIdle)->Arg(64)->Arg(512);
BENCHMARK(BM_Copy)->Arg(64)->Arg(512);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
