#include "ToneFilter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EngineDriver.h"
#include "ReverbEngine.h"

using namespace enginetest;

namespace {

ToneFilter MakeFilter(std::int32_t type, std::int32_t hz, std::int32_t tenthsDb) {
    ToneFilter f;
    f.type = type;
    f.frequency = hz;
    f.bandwidth = ToneFilter::BandwidthFromPercent(50.0f);
    f.gain = ToneFilter::GainFromTenthsDb(tenthsDb);
    f.ComputeCoefficients(44100.0);
    return f;
}

// Gain of a normalised biquad at z = 1 (sign +1) or z = -1 (sign -1).
double EdgeGain(const ToneFilter& f, double sign) {
    return (f.b0 + sign * f.b1 + f.b2) / (1.0 + sign * f.a1 + f.a2);
}

// The two combinations of filters, run outside the engine on a recorded signal, each channel with
// its own histories: f2(f1(x)) skipping a filter that is off, or f1(x/2) + f2(x/2).
Stereo Combine(const Stereo& in, const ToneFilter& f1, const ToneFilter& f2, bool parallel) {
    Stereo out = in;
    ToneState h[2][2];
    std::vector<double>* channels[2] = {&out.left, &out.right};
    for (int c = 0; c < 2; ++c)
        for (double& x : *channels[c]) {
            const double half = x * 0.5;
            if (parallel) {
                x = f1.Process(h[0][c], half) + f2.Process(h[1][c], half);
            } else {
                x = f1.IsOn() ? f1.Process(h[0][c], x) : x;
                x = f2.IsOn() ? f2.Process(h[1][c], x) : x;
            }
        }
    return out;
}

void ExpectNear(const Stereo& a, const Stereo& b, double tolerance) {
    for (std::size_t i = 0; i < a.left.size(); ++i) {
        ASSERT_NEAR(a.left[i], b.left[i], tolerance) << i;
        ASSERT_NEAR(a.right[i], b.right[i], tolerance) << i;
    }
}

// EQ: Peak 1000 Hz +6 dB; EQ2: Lowshelf 300 Hz -4.5 dB.
Settings TwoFilters(int mode, Settings s = Defaults()) {
    return With({{kEqType, 1},
                 {kEqFreq, 1000},
                 {kEqGain, 6.0},
                 {kEq2Type, 2},
                 {kEq2Freq, 300},
                 {kEq2Gain, -4.5},
                 {kEqMode, mode}},
                s);
}

Stereo Render(const Settings& s, const Stereo& in) {
    ReverbEngine e = MakeEngine(s);
    return Process(e, in);
}

} // namespace

TEST(ToneCoefficients, CookbookShapesAt1kHz) {
    const ToneFilter p = MakeEngine(With({{kEqType, 1}, {kEqFreq, 1000}, {kEqGain, 6.0}})).Tone(0);
    EXPECT_NEAR(p.bandwidth, 1.027753, 1e-6);
    EXPECT_NEAR(p.gain, 1.412538, 1e-6);
    EXPECT_NEAR(p.b0, 1.088673, 1e-6);
    EXPECT_NEAR(p.b1, -1.803350, 1e-6);
    EXPECT_EQ(p.a1, p.b1);
    EXPECT_NEAR(p.b2, 0.733136, 1e-6);
    EXPECT_NEAR(p.a2, 0.821809, 1e-6);

    const ToneFilter l = MakeEngine(With({{kEqType, 2}, {kEqFreq, 1000}, {kEqGain, 6.0}})).Tone(0);
    EXPECT_NEAR(l.b0, 1.034680, 1e-6);
    EXPECT_NEAR(l.b1, -1.828000, 1e-6);
    EXPECT_NEAR(l.b2, 0.819806, 1e-6);
    EXPECT_NEAR(l.a1, -1.834606, 1e-6);
    EXPECT_NEAR(l.a2, 0.847881, 1e-6);

    // A shelf lifts its own end by A^2 = 10^(6/20) and leaves the other end alone.
    const double lift = std::pow(10.0, 6.0 / 20.0);
    EXPECT_NEAR(EdgeGain(l, 1.0), lift, 1e-9);
    EXPECT_NEAR(EdgeGain(l, -1.0), 1.0, 1e-9);
    const ToneFilter high = MakeFilter(ToneFilter::kHighshelf, 1000, 60);
    EXPECT_NEAR(EdgeGain(high, 1.0), 1.0, 1e-9);
    EXPECT_NEAR(EdgeGain(high, -1.0), lift, 1e-9);
}

TEST(ToneCoefficients, PeakAtZeroDbIsTransparent) {
    const ToneFilter f = MakeFilter(ToneFilter::kPeak, 1000, 0);
    EXPECT_EQ(f.b1, f.a1);
    EXPECT_EQ(f.b2, f.a2);
    ToneState h;
    for (double x : Noise(5000).left)
        ASSERT_NEAR(f.Process(h, x), x, 1e-12);
}

// Above 0.49 * rate the angle would pass Nyquist and the filter would blow up.
TEST(ToneCoefficients, FrequencyIsHeldBelowNyquistAtLowRates) {
    const ToneFilter clamped = MakeEngine(Defaults(), 8000.0).Tone(1); // EQ2 Peak at 6000 Hz
    const ToneFilter reference = MakeEngine(With({{kEq2Freq, 3920}}), 8000.0).Tone(1);
    EXPECT_EQ(clamped.b0, reference.b0);
    EXPECT_EQ(clamped.a2, reference.a2);

    ReverbEngine e = MakeEngine(With({{kEqType, 3}, {kEqFreq, 20000}, {kEqMode, 4}}), 8000.0);
    const Stereo out = Process(e, Noise(80000));
    EXPECT_TRUE(std::all_of(out.left.begin(), out.left.end(), [](double x) { return std::fabs(x) < 10.0; }));

    // At 44.1 kHz the whole range is used as it is.
    EXPECT_NE(MakeFilter(ToneFilter::kPeak, 20000, 60).b0, MakeFilter(ToneFilter::kPeak, 21000, 60).b0);
}

TEST(ToneFilterState, TypeChangeClearsTheHistoryOtherChangesKeepIt) {
    ReverbEngine e = MakeEngine(); // EQ2 Peak on the wet signal
    Process(e, Noise(3000));
    const ToneState h = e.ToneHistory(1, ReverbEngine::kRight);
    ASSERT_NE(h.y1, 0.0);
    for (const auto& [index, value] :
         {std::pair<int, double>{kEq2Freq, 5000}, {kEq2Bandwidth, 20}, {kEq2Gain, -3.0}, {kEqMode, 2}})
        EXPECT_TRUE(e.ParamChanged(index, value));
    EXPECT_EQ(e.ToneHistory(1, ReverbEngine::kRight).y1, h.y1);
    EXPECT_EQ(e.ToneHistory(1, ReverbEngine::kRight).x2, h.x2);

    EXPECT_TRUE(e.ParamChanged(kEq2Type, 2));
    for (int c = 0; c < 2; ++c) {
        const ToneState& z = e.ToneHistory(1, c);
        EXPECT_TRUE(z.x1 == 0.0 && z.x2 == 0.0 && z.y1 == 0.0 && z.y2 == 0.0) << c;
    }
}

// Output routings filter the plain mix (both filters off), exactly, in stereo and in mono.
TEST(ToneRouting, OutputRoutingsFilterThePlainMix) {
    const Stereo in = Noise(6000);
    for (const Settings& base : {Defaults(), With({{kStereo, 0}, {kMonoPosition, 30}})}) {
        const Stereo plain = Render(With({{kEqType, 0}, {kEq2Type, 0}}, base), in);
        const ReverbEngine configured = MakeEngine(TwoFilters(3, base));
        const ToneFilter f1 = configured.Tone(0);
        const ToneFilter f2 = configured.Tone(1);
        const ToneFilter off;

        EXPECT_TRUE(BitEqual(Render(TwoFilters(4, base), in), Combine(plain, f1, f2, false)));
        EXPECT_TRUE(BitEqual(Render(TwoFilters(3, base), in), Combine(plain, f1, f2, true)));
        // Alternate with filter 1 off: filter 2 on the whole output.
        EXPECT_TRUE(
            BitEqual(Render(With({{kEqType, 0}}, TwoFilters(2, base)), in), Combine(plain, off, f2, false)));
    }
}

TEST(ToneRouting, ParallelPeaksAtZeroDbGiveThePlainMix) {
    const Stereo in = Noise(6000);
    const Stereo plain = Render(With({{kEqType, 0}, {kEq2Type, 0}}), in);
    for (int mode : {0, 3})
        ExpectNear(
            Render(With({{kEqType, 1}, {kEqGain, 0.0}, {kEq2Type, 1}, {kEq2Gain, 0.0}, {kEqMode, mode}}), in),
            plain, 1e-12);
}
