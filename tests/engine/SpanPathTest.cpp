// The span-wise signal path against the sample-by-sample model, bit for bit, across the settings,
// rates, block splits, parameter changes and gate transitions where a span boundary, a ring wrap or
// a gate decision could go wrong.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineDriver.h"
#include "PerSampleReference.h"
#include "SimdLevel.h"

using namespace enginetest;

namespace {

struct Change {
    std::size_t at; // sample index before which the value is delivered
    int index;
    double value;
};

using Changes = std::vector<Change>;

// Block sizes a host may use, and -1 for a pseudo-random split.
const int kSplits[] = {1, 2, 3, 7, 64, 333, 512, 4096, -1};

// Contents and positions of all 26 lines, the gate and the wet values a later block starts from.
bool SameState(const ReverbEngine& a, const ReverbEngine& b) {
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < ReverbEngine::kLinesPerChannel; ++k)
            if (!BitEqual(a.Line(c, k).Samples(), b.Line(c, k).Samples()) ||
                a.Line(c, k).Position() != b.Line(c, k).Position())
                return false;
    return a.IsProcessing() == b.IsProcessing();
}

// Processes `in` in blocks from `split`, delivering each change at its sample; the reference runs
// sample by sample on an engine of its own.
template <class Process>
Stereo Run(ReverbEngine& e, const Changes& changes, const Stereo& in, int split, bool inPlace,
           Process process) {
    const std::size_t frames = in.left.size();
    Stereo out = inPlace ? in : Silence(frames);
    std::uint32_t seed = 7;
    std::size_t next = 0;
    for (std::size_t start = 0; start < frames;) {
        for (; next < changes.size() && changes[next].at <= start; ++next)
            e.ParamChanged(changes[next].index, changes[next].value);
        std::size_t block = split;
        if (split < 0) {
            seed = seed * 1664525u + 1013904223u;
            block = 1 + (seed >> 8) % 700;
        }
        block = std::min(block, frames - start);
        if (next < changes.size())
            block = std::min(block, changes[next].at - start);
        const double* ins[2] = {(inPlace ? out : in).left.data() + start,
                                (inPlace ? out : in).right.data() + start};
        double* outs[2] = {out.left.data() + start, out.right.data() + start};
        process(ins, outs, static_cast<int>(block));
        start += block;
    }
    return out;
}

void ExpectSame(const std::string& name, const Settings& settings, const Stereo& in, double rate = 44100.0,
                const Changes& changes = {}) {
    ReverbEngine model = MakeEngine(settings, rate);
    PerSampleReference reference(model);
    const Stereo expected =
        Run(model, changes, in, 1, false,
            [&](const double* const* i, double* const* o, int n) { reference.ProcessBlock(i, o, n); });
    const int best = static_cast<int>(BestSimdLevel());
    for (int level = best; level >= 0; --level) {
        const bool narrower = level < best;
        for (const int split : kSplits) {
            // Narrower builds differ only in their kernels: odd runs and a random split suffice.
            if (narrower && split != 3 && split != 333 && split != -1)
                continue;
            ReverbEngine e = MakeEngine(settings, rate);
            PerSampleReference::UseSimdLevel(e, static_cast<SimdLevel>(level));
            const bool inPlace = split == 333;
            const Stereo out =
                Run(e, changes, in, split, inPlace,
                    [&](const double* const* i, double* const* o, int n) { e.ProcessBlock(i, o, n); });
            EXPECT_TRUE(BitEqual(out, expected)) << name << ", blocks of " << split << ", level " << level;
            EXPECT_TRUE(SameState(e, model)) << name << ", blocks of " << split << ", level " << level;
        }
    }
}

// Noise, then silence long enough for the loops to ring out over several spans.
Stereo Burst(std::size_t loud, std::size_t frames, std::uint32_t seed = 1) {
    Stereo s = Noise(loud, 0.5, seed);
    s.left.resize(frames, 0.0);
    s.right.resize(frames, 0.0);
    return s;
}

} // namespace

TEST(SpanPath, EverySpaceSurfaceAndStereoPlacement) {
    // Space s takes Stereo s % 8 and Stereo Position s % 7: the 60 Spaces walk all 56 pairs.
    const Stereo in = Burst(1500, 12000);
    for (int space = 0; space < 60; ++space)
        ExpectSame("space " + std::to_string(space),
                   With({{kSpace, space},
                         {kSurface, space % 16},
                         {kSurfaceAccent, space % 3 * 50},
                         {kSpaceAccent, 100 - space % 4 * 22},
                         {kStereo, space % 8},
                         {kStereoPosition, space % 7},
                         {kMonoPosition, space * 3 - 90}}),
                   in);
}

TEST(SpanPath, EveryToneRoutingWithTheFiltersOnAndOff) {
    const Stereo in = Burst(1500, 9000);
    for (int mode = 0; mode < 5; ++mode)
        for (int filters = 0; filters < 4; ++filters)
            for (const int stereo : {0, 3}) {
                const int type1 = filters & 1 ? 1 + mode % 3 : 0;
                const int type2 = filters & 2 ? 1 + (mode + 1) % 3 : 0;
                ExpectSame("eq mode " + std::to_string(mode) + " filters " + std::to_string(filters) +
                               " stereo " + std::to_string(stereo),
                           With({{kEqMode, mode}, {kEqType, type1}, {kEq2Type, type2}, {kStereo, stereo}}),
                           in);
            }
}

TEST(SpanPath, PreDelayDiffuseSizeAndRateExtremes) {
    const Stereo in = Burst(1500, 12000);
    for (const double preDelay : {0.0, 0.2, 1.0, 7.0, 333.0, 1000.0})
        for (const int corner : {0, 1, 2, 3})
            ExpectSame("pre-delay " + std::to_string(preDelay) + " corner " + std::to_string(corner),
                       With({{kPreDelay, preDelay},
                             {kDiffuse, corner & 1 ? 100 : 0},
                             {kSize, corner & 2 ? 100 : 0},
                             {kAttack, corner & 1 ? 0 : 100},
                             {kStereo, corner}}),
                       in, 8000.0);
    // The shortest lines there are: spans of a few samples.
    ExpectSame("metallic short",
               With({{kSpace, 34}, {kDiffuse, 0}, {kSize, 0}, {kAttack, 0}, {kPreDelay, 0}}), in);
    for (const double rate : {8000.0, 11025.0, 22050.0, 48000.0, 96000.0, 176400.0, 192000.0})
        ExpectSame("rate " + std::to_string(rate), With({{kEqType, 2}, {kEqMode, 3}}), in, rate);
}

TEST(SpanPath, ChangesBetweenBlocksIncludingResizes) {
    const Stereo in = Noise(30000, 0.3, 5);
    ExpectSame("changes", Defaults(), in, 44100.0,
               {{1000, kTime, 0.4},
                {2500, kSpace, 37}, // resizes every stage line
                {4100, kEqMode, 3},
                {4100, kEqType, 3},
                {6000, kStereo, 0}, // "Mono" keeps the right wet sample
                {8000, kPreDelay, 0},
                {9999, kEq2Type, 0},
                {12000, kStereo, 5},
                {12000, kStereoPosition, 4},
                {15000, kSize, 0},
                {17000, kFreq, 300},
                {20000, kSurface, 11},
                {20000, kEqMode, 1},
                {23000, kPreDelay, 1000},
                {26000, kDiffuse, 100}});
}

TEST(SpanPath, GateOpensAndClosesOnTheSameSamples) {
    // Loud, quiet long enough to open (a second at 8 kHz), a faint stretch, loud again, quiet again.
    Stereo in = Burst(800, 40000, 9);
    const Stereo faint = Noise(6000, 0.0005, 11);
    std::copy(faint.left.begin(), faint.left.end(), in.left.begin() + 14000);
    std::copy(faint.right.begin(), faint.right.end(), in.right.begin() + 14000);
    in.right[21000] = 0.2;
    in.left[21500] = -0.01;
    for (const int stereo : {1, 0})
        ExpectSame("gate stereo " + std::to_string(stereo),
                   With({{kTime, 0.3}, {kStereo, stereo}, {kPreDelay, 0}}), in, 8000.0,
                   {{30000, kBypassCeil, -120}, {33000, kBypassCeil, -40}});
    // The wet signal alone holds the gate shut: "Mono" after stereo with a loud last right sample.
    ExpectSame("gate mono after stereo", With({{kTime, 0.2}, {kBypassCeil, -50}}), Burst(3000, 30000, 13),
               8000.0, {{3000, kStereo, 0}});
}
