#include "ReverbEngine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "EngineDriver.h"

using namespace enginetest;

namespace {

constexpr int kL = ReverbEngine::kLeft;
constexpr int kR = ReverbEngine::kRight;

using Lengths = std::vector<std::uint32_t>;
const Lengths kDefaultBase = {587, 1087, 1498, 1838, 2122, 2370, 2597, 2824, 3065, 3349, 3706, 4185};

Lengths StageSet(const ReverbEngine& e, int channel) {
    Lengths set;
    for (int k = 1; k <= 12; ++k)
        set.push_back(e.StageLength(channel, k));
    return set;
}

// Contents and positions of all 26 lines.
std::vector<std::pair<std::vector<double>, std::uint32_t>> Snapshot(const ReverbEngine& e) {
    std::vector<std::pair<std::vector<double>, std::uint32_t>> s;
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < ReverbEngine::kLinesPerChannel; ++k)
            s.emplace_back(e.Line(c, k).Samples(), e.Line(c, k).Position());
    return s;
}

bool StagesEmpty(const ReverbEngine& e, int first = 1) {
    for (int c = 0; c < 2; ++c)
        for (int k = first; k < ReverbEngine::kLinesPerChannel; ++k)
            if (!AllZero(e.Line(c, k).Samples()) || e.Line(c, k).Position() != 0)
                return false;
    return true;
}

Stereo Impulse(std::size_t frames) {
    Stereo s = Silence(frames);
    s.left[0] = 1.0;
    return s;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Mapping from parameters to lengths, gains and limits

TEST(StageLengths, DefaultsAndStereoModesChooseTheSpreadSet) {
    const ReverbEngine e = MakeEngine();
    EXPECT_EQ(StageSet(e, kL), kDefaultBase);
    const Lengths right = StageSet(e, kR);
    EXPECT_EQ(right[0], 1337u);
    EXPECT_EQ(right[3], 2264u);
    EXPECT_EQ(right[5] + right[6] + right[7], 8835u);
    EXPECT_EQ(right[5] + right[6] + right[11], 10553u);
    EXPECT_EQ(right[11], 4904u);
    for (int c = 0; c < 2; ++c)
        for (int k = 1; k <= 12; ++k)
            EXPECT_EQ(e.Line(c, k).Length(), e.StageLength(c, k)) << c << " S" << k;
    EXPECT_EQ(e.Line(kR, 0).Length(), 882u);

    const ReverbEngine cone = MakeEngine(With({{kStereo, 4}}));
    EXPECT_EQ(StageSet(cone, kL), kDefaultBase);
    EXPECT_EQ(StageSet(cone, kR),
              Lengths({587, 1105, 1534, 1893, 2200, 2472, 2733, 3008, 3333, 3751, 4331, 4904}));

    // "From Right" lengthens the left set instead: S2 + nearest(411 * 0.03 * 0.5).
    const ReverbEngine mirrored = MakeEngine(With({{kStereo, 4}, {kStereoPosition, 5}}));
    EXPECT_EQ(StageSet(mirrored, kR), kDefaultBase);
    EXPECT_EQ(mirrored.StageLength(kL, 2), 1093u);

    const ReverbEngine mono = MakeEngine(With({{kStereo, 0}}));
    EXPECT_EQ(StageSet(mono, kL), kDefaultBase);
    EXPECT_EQ(StageSet(mono, kR), kDefaultBase);
}

TEST(StageLengths, AccentAndSizeScaleTheIncrements) {
    // Space Accent 0 %: only the base increments count, whatever the Space.
    const Lengths flat = StageSet(MakeEngine(With({{kSpaceAccent, 0}})), kL);
    EXPECT_EQ(StageSet(MakeEngine(With({{kSpaceAccent, 0}, {kSpace, 35}})), kL), flat);
    EXPECT_EQ(flat[1] - flat[0], 45u + 287u);

    // Size 0 %: each increment shrinks to nearest(0.04 * p + 0.96).
    const ReverbEngine small = MakeEngine(With({{kSize, 0}}));
    EXPECT_EQ(small.StageLength(kL, 1), 23u + 45u);
    EXPECT_EQ(small.StageLength(kL, 2), 68u + 45u + 19u);

    // The first increment is held at 1100 ("Special Soft" starts with 1369).
    EXPECT_EQ(MakeEngine(With({{kSpace, 37}, {kAttack, 0}})).StageLength(kL, 1), 800u + 45u);
}

TEST(Gains, DecayDampingAndAllpassGains) {
    const ReverbEngine e = MakeEngine();
    EXPECT_NEAR(e.InputGain(), 0.86775, 5e-6);
    EXPECT_NEAR(e.LoopGainA(), 0.57490, 5e-6);
    EXPECT_NEAR(e.LoopGainB(), 0.51623, 5e-6);
    EXPECT_NEAR(e.DampCoef(), 0.319881, 5e-7);

    // New lengths bring new gains.
    ReverbEngine changed = MakeEngine();
    EXPECT_TRUE(changed.ParamChanged(kSpace, 17));
    EXPECT_EQ(changed.LoopGainB(), MakeEngine(With({{kSpace, 17}})).LoopGainB());
    EXPECT_NE(changed.LoopGainB(), e.LoopGainB());

    // Surface Accent blends the Surface row with a flat 0.62 by 2q - q^2.
    const float rippled[8] = {0.3f, 0.82f, 0.25f, 0.85f, 0.19f, 0.14f, 0.09f, 0.04f};
    const ReverbEngine none = MakeEngine(With({{kSurface, 6}, {kSurfaceAccent, 0}}));
    const ReverbEngine half = MakeEngine(With({{kSurface, 6}, {kSurfaceAccent, 50}}));
    const ReverbEngine full = MakeEngine(With({{kSurface, 6}, {kSurfaceAccent, 100}}));
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(none.AllpassGain(j), static_cast<double>(0.62f)) << j;
        EXPECT_NEAR(half.AllpassGain(j), 0.75 * rippled[j] + 0.25 * 0.62, 1e-7) << j;
        EXPECT_EQ(full.AllpassGain(j), static_cast<double>(rippled[j])) << j;
    }
}

TEST(QuietLimit, AtLeastOneSecondOrTheLongestPath) {
    EXPECT_EQ(MakeEngine().QuietLimit(), 44100);
    EXPECT_EQ(MakeEngine(With({{kPreDelay, 1000}})).QuietLimit(), 44100 + 4904 + 100);
}

// ---------------------------------------------------------------------------------------------
// Parameter delivery

TEST(ParamDelivery, ReadinessCountsEachParameterOnce) {
    ReverbEngine e;
    const Settings s = Defaults();
    for (int i = 0; i < kNumParams - 1; ++i)
        EXPECT_TRUE(e.ParamChanged(i, s[i])) << i;
    EXPECT_FALSE(e.ParamChanged(0, s[0])); // same value
    EXPECT_TRUE(e.ParamChanged(0, 30.0));  // already counted
    EXPECT_FALSE(e.ParamChanged(-1, 1.0));
    EXPECT_FALSE(e.ParamChanged(kNumParams, 1.0));
    EXPECT_FALSE(e.AllParamsReceived());
    EXPECT_TRUE(e.ParamChanged(kNumParams - 1, s[kNumParams - 1]));
    EXPECT_TRUE(e.AllParamsReceived());
}

TEST(ParamDelivery, ValueWithTheSameRoundingChangesNothing) {
    ReverbEngine a = MakeEngine();
    ReverbEngine b = MakeEngine();
    const Stereo in = Noise(4000);
    Process(a, in);
    Process(b, in);
    EXPECT_FALSE(a.ParamChanged(kTime, 3.04));
    EXPECT_FALSE(a.ParamChanged(kSpace, 0.4));
    EXPECT_FALSE(a.ParamChanged(kEq2Gain, 5.96));
    EXPECT_FALSE(a.ParamChanged(kBypassCeil, -60.49));
    EXPECT_FALSE(a.ParamChanged(kSpace, std::nan(""))); // NaN counts as 0
    EXPECT_TRUE(BitEqual(Process(a, Silence(4000)), Process(b, Silence(4000))));
    EXPECT_TRUE(a.ParamChanged(kTime, 3.06));
}

TEST(ParamDelivery, CoefficientChangesKeepTheTailLengthChangesEmptyTheLines) {
    ReverbEngine e = MakeEngine();
    Process(e, Noise(6000));
    const auto before = Snapshot(e);
    for (const auto& [index, value] : {std::pair<int, double>{kTime, 5.0},
                                       {kFreq, 4000},
                                       {kSurface, 3},
                                       {kSurfaceAccent, 40},
                                       {kMonoPosition, 20},
                                       {kDryMix, 30},
                                       {kWetMix, 70},
                                       {kBypassCeil, -80},
                                       {kEqType, 2},
                                       {kEq2Freq, 3000},
                                       {kEqMode, 4}})
        EXPECT_TRUE(e.ParamChanged(index, value)) << index;
    EXPECT_TRUE(Snapshot(e) == before);

    EXPECT_TRUE(e.ParamChanged(kDiffuse, 40));
    EXPECT_TRUE(StagesEmpty(e));
    EXPECT_EQ(e.Line(kR, 0).Samples(), before[13].first); // the pre-delay keeps its content

    Process(e, Noise(3000));
    EXPECT_TRUE(e.ParamChanged(kPreDelay, 30));
    EXPECT_EQ(e.Line(kL, 0).Length(), 1323u);
    EXPECT_TRUE(StagesEmpty(e, 0));
}

// ---------------------------------------------------------------------------------------------
// Lifecycle

TEST(Lifecycle, PreDelayIsOnlyRecordedUntilTheFirstBlock) {
    ReverbEngine e;
    EXPECT_EQ(e.StereoMode(), 99);
    Deliver(e, Defaults());
    EXPECT_TRUE(e.ParamChanged(kPreDelay, 50));
    EXPECT_EQ(e.PreDelayLength(), 0u);
    EXPECT_EQ(e.Line(kL, 12).Samples().size(), 1u);

    e.BeginFirstBlock();
    e.Reset(44100.0, With({{kPreDelay, 50}}).data());
    EXPECT_EQ(e.Line(kR, 0).Length(), 2205u);
    EXPECT_EQ(e.Line(kR, 12).Samples().size(), 4904u);
}

TEST(Lifecycle, ResetKeepsTheTailUnlessTheRateChanges) {
    ReverbEngine a = MakeEngine();
    ReverbEngine b = MakeEngine();
    Process(a, Noise(5000));
    Process(b, Noise(5000));
    a.Reset(44100.0, Defaults().data());
    const Stereo tail = Process(a, Silence(20000));
    EXPECT_TRUE(BitEqual(tail, Process(b, Silence(20000))));
    EXPECT_FALSE(AllZero(tail.left));

    a.Reset(48000.0, Defaults().data());
    EXPECT_TRUE(StagesEmpty(a, 0));
    EXPECT_EQ(a.PreDelayLength(), 960u);
    EXPECT_EQ(a.Line(kR, 12).Length(), 4904u); // stage lengths do not depend on the rate
    EXPECT_EQ(a.QuietLimit(), 48000);
    EXPECT_EQ(a.DampCoef(), std::exp(8000.0 * -6.283185307179586 / 48000.0));
    EXPECT_EQ(a.Tone(1).b0, MakeEngine(Defaults(), 48000.0).Tone(1).b0);

    // Only the loops' lowpass B survives a resize: it still rings out into the empty lines.
    ReverbEngine plain = MakeEngine(With({{kEq2Type, 0}}));
    Process(plain, Noise(5000));
    plain.Reset(48000.0, Defaults().data());
    EXPECT_FALSE(AllZero(Process(plain, Silence(100)).left));
}

// A first block at rate 0 still gives every line its length; only the rate-dependent values wait for a
// real rate.
TEST(Lifecycle, FirstBlockAtRateZeroStillSizesEveryLine) {
    ReverbEngine e;
    Deliver(e, Defaults());
    e.BeginFirstBlock();
    e.Reset(0.0, Defaults().data());
    EXPECT_EQ(e.Line(kL, 0).Length(), 1u);
    EXPECT_EQ(e.Line(kL, 12).Length(), 4185u);
    EXPECT_EQ(e.Line(kR, 12).Samples().size(), 4904u);
    EXPECT_EQ(e.QuietLimit(), 1 + 4904 + 100);
    EXPECT_EQ(e.InputGain(), 0.0); // rate-dependent values wait for a real rate
    const Stereo out = Process(e, Noise(20000));
    EXPECT_TRUE(std::all_of(out.left.begin(), out.left.end(), [](double x) { return std::isfinite(x); }));

    for (const double odd : {std::nan(""), HUGE_VAL}) {
        e.Reset(odd, Defaults().data());
        EXPECT_EQ(e.PreDelayLength(), 1u);
    }
    e.Reset(44100.0, Defaults().data());
    EXPECT_EQ(e.PreDelayLength(), 882u);
    EXPECT_NEAR(e.InputGain(), 0.86775, 5e-6);
}

// ---------------------------------------------------------------------------------------------
// Signal path

TEST(SignalPath, ImpulseAppearsAfterThePreDelay) {
    ReverbEngine e = MakeEngine(With({{kEq2Type, 0}}));
    const Stereo out = Process(e, Impulse(1000));
    EXPECT_NEAR(out.left[0], 0.6, 1e-7);
    EXPECT_TRUE(AllZero(std::vector<double>(out.left.begin() + 1, out.left.begin() + 882)));
    EXPECT_NEAR(out.left[882], -0.0433082, 5e-8);
    EXPECT_TRUE(AllZero(out.right));

    ReverbEngine direct = MakeEngine(With({{kPreDelay, 0}, {kDryMix, 0}}));
    const Stereo early = Process(direct, Impulse(2));
    EXPECT_EQ(early.left[0], 0.0);
    EXPECT_NE(early.left[1], 0.0);
}

TEST(SignalPath, MonoPositionPansTheSingleWetSignal) {
    const Stereo in = Noise(3000);
    const auto run = [](double position, const Stereo& input) {
        ReverbEngine e = MakeEngine(With({{kStereo, 0}, {kMonoPosition, position}, {kDryMix, 0}}));
        return Process(e, input);
    };
    const Stereo centre = run(0, in);
    EXPECT_TRUE(BitEqual(centre.left, centre.right));
    EXPECT_FALSE(AllZero(centre.left));
    EXPECT_TRUE(BitEqual(run(0, Stereo{in.right, in.left}), centre)); // the inputs are summed

    std::vector<double> doubled(centre.right);
    for (double& x : doubled)
        x *= 2.0;
    const Stereo right = run(100, in);
    EXPECT_TRUE(AllZero(right.left));
    EXPECT_TRUE(BitEqual(right.right, doubled));
    EXPECT_TRUE(BitEqual(run(-100, in).left, doubled));
}

TEST(SignalPath, BlockSplitAndSharedBuffersDoNotChangeTheOutput) {
    // Noise, silence long enough for short tails to open the gate, an impulse, noise again.
    Stereo in = Noise(64000, 0.5);
    std::fill(in.left.begin() + 6000, in.left.begin() + 60000, 0.0);
    std::fill(in.right.begin() + 6000, in.right.begin() + 60000, 0.0);
    in.left[55000] = 0.9;

    for (const Settings& s : {
             Defaults(),
             With({{kTime, 0.3}, {kPreDelay, 0}}),
             With({{kTime, 20.0}}),
             With({{kTime, 0.5}, {kStereo, 0}, {kMonoPosition, -40}, {kEqType, 3}, {kEqMode, 1}}),
             With({{kTime, 0.5}, {kStereo, 6}, {kEqType, 1}, {kEq2Type, 2}, {kEqMode, 3}}),
             With({{kStereo, 0}, {kEqType, 2}, {kEq2Type, 3}, {kEqMode, 3}, {kSpace, 17}, {kDiffuse, 100}}),
             With({{kStereo, 7}, {kEqType, 1}, {kEqMode, 2}, {kSurface, 12}, {kStereoPosition, 6}}),
         }) {
        ReverbEngine whole = MakeEngine(s);
        ReverbEngine single = MakeEngine(s);
        ReverbEngine odd = MakeEngine(s);
        ReverbEngine shared = MakeEngine(s);
        const Stereo expected = Process(whole, in);
        EXPECT_TRUE(BitEqual(Process(single, in, 1), expected));
        EXPECT_TRUE(BitEqual(Process(odd, in, 61), expected));

        Stereo io = in;
        double* channels[2] = {io.left.data(), io.right.data()};
        shared.ProcessBlock(channels, channels, static_cast<int>(in.left.size()));
        EXPECT_TRUE(BitEqual(io, expected));
    }
}

// Recorded fingerprints of whole outputs. Every sum and product in the path has a fixed order; a
// reordering (or a contracted multiply-add) changes the last bits and shows here. Other C libraries
// round exp, sin and cos differently, so the figures hold for glibc builds only.
TEST(SignalPath, OutputFingerprintsStayBitExact) {
#ifndef __GLIBC__
    GTEST_SKIP() << "fingerprints recorded with glibc's maths library";
#endif
    Stereo in = Noise(3000);
    in.left.resize(20000, 0.0);
    in.right.resize(20000, 0.0);
    const std::pair<Settings, std::uint64_t> cases[] = {
        {Defaults(), 0x4fec69924e14e579ull},
        {With({{kTime, 20.0}, {kStereo, 5}, {kSurface, 9}, {kEqType, 3}, {kEqMode, 1}}),
         0x62348dd6605fe527ull},
        {With({{kStereo, 0}, {kMonoPosition, -35}, {kEqType, 1}, {kEq2Type, 2}, {kEqMode, 3}}),
         0x678d9b1d6712240dull},
        {With({{kSpace, 44}, {kSpaceAccent, 35}, {kAttack, 80}, {kSize, 60}, {kEqType, 2}, {kEqMode, 2}}),
         0x48be6c1206f50fb5ull},
    };
    for (const auto& [settings, expected] : cases) {
        ReverbEngine e = MakeEngine(settings);
        const Stereo out = Process(e, in);
        std::uint64_t h = 14695981039346656037ull; // FNV-1a over the bytes of both channels
        for (const std::vector<double>* channel : {&out.left, &out.right})
            for (const double x : *channel) {
                unsigned char bytes[sizeof x];
                std::memcpy(bytes, &x, sizeof x);
                for (const unsigned char byte : bytes)
                    h = (h ^ byte) * 1099511628211ull;
            }
        EXPECT_EQ(h, expected) << std::hex << "0x" << h;
    }
}

// ---------------------------------------------------------------------------------------------
// Silence gate

TEST(SilenceGate, OpenGatePassesAudioThroughAndFreezesTheNetwork) {
    ReverbEngine e = MakeEngine();
    // A faint burst, below the -60 dB ceiling, leaves a faint tail in the lines.
    Stereo in = Noise(200, 0.0002);
    in.left.resize(44100, 0.0);
    in.right.resize(44100, 0.0);
    EXPECT_TRUE(e.IsProcessing());
    Process(e, in);
    EXPECT_FALSE(e.IsProcessing());
    const auto frozen = Snapshot(e);
    EXPECT_FALSE(AllZero(frozen[12].first));

    const Stereo quiet = Noise(5000, 0.0009, 3);
    EXPECT_TRUE(BitEqual(Process(e, quiet), quiet));
    EXPECT_TRUE(Snapshot(e) == frozen);
    const double* none[2] = {nullptr, nullptr};
    double* nowhere[2] = {nullptr, nullptr};
    e.ProcessBlock(none, nowhere, 0);
    EXPECT_FALSE(e.IsProcessing());

    // An output one frame past its input in the same buffer still receives the input as it was.
    std::vector<double> shared(quiet.left.begin(), quiet.left.end());
    shared.push_back(0.0);
    const double* shiftedIn[2] = {shared.data(), quiet.right.data()};
    std::vector<double> right(quiet.right.size());
    double* shiftedOut[2] = {shared.data() + 1, right.data()};
    e.ProcessBlock(shiftedIn, shiftedOut, static_cast<int>(quiet.left.size()));
    EXPECT_TRUE(BitEqual(std::vector<double>(shared.begin() + 1, shared.end()), quiet.left));
    EXPECT_TRUE(BitEqual(right, quiet.right));

    // One loud sample closes the gate; the frozen tail resumes.
    Stereo loud = Silence(10);
    loud.right[0] = 0.01;
    EXPECT_FALSE(AllZero(Process(e, loud).left));
    EXPECT_TRUE(e.IsProcessing());
}

TEST(SilenceGate, MonoStillHearsTheLastStereoWetSample) {
    const Settings s = With({{kTime, 0.2}, {kBypassCeil, -50}});
    ReverbEngine mono = MakeEngine(s);
    ReverbEngine stereo = MakeEngine(s);
    Process(mono, Noise(3000));
    Process(stereo, Noise(3000));
    EXPECT_TRUE(mono.ParamChanged(kStereo, 0));
    // The right network no longer runs, but its last wet sample, above the ceiling, keeps the gate shut.
    Process(mono, Silence(150000));
    Process(stereo, Silence(150000));
    EXPECT_TRUE(mono.IsProcessing());
    EXPECT_FALSE(stereo.IsProcessing());
}
