#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "CLS_HALVANE.h"
#include "HostlessPlug.h"

namespace {

using Halvane = HostlessPlug<CLS_HALVANE>;

// Delivers every parameter once, in index order, as a host does at initialisation.
void DeliverAll(Halvane& plug) {
    for (int i = 0; i < plug.ParamCount(); ++i)
        plug.ParamChanged(i);
}

void Set(Halvane& plug, int index, double plain) {
    plug.GetParam(index)->SetValue(plain);
    plug.ParamChanged(index);
}

// Processing set-up and stereo connections, as a host's set-up does.
void Prepare(Halvane& plug, double rate, int maxBlock) {
    plug.SetSampleRate(rate);
    plug.SetMaxBlockSize(maxBlock);
    plug.Reset();
    plug.SetInputConnections(0, 2, true);
    plug.SetOutputConnections(0, 2, true);
}

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(size_t n = 0) : left(n, 0.0), right(n, 0.0) {}
};

// Runs `in` through the plug-in in blocks of `block` frames in double precision.
Stereo Render(Halvane& plug, const Stereo& in, int block) {
    Stereo out(in.left.size());
    for (size_t pos = 0; pos < in.left.size(); pos += static_cast<size_t>(block)) {
        int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(block), in.left.size() - pos));
        double* ins[] = {const_cast<double*>(in.left.data() + pos),
                         const_cast<double*>(in.right.data() + pos)};
        double* outs[] = {out.left.data() + pos, out.right.data() + pos};
        plug.AttachInputs(0, 2, ins, 2, n);
        plug.AttachOutputs(0, 2, outs, 2, n);
        plug.RunBlock(n);
    }
    return out;
}

Stereo Noise(size_t n, unsigned seed) {
    Stereo s(n);
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s.left[i] = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * (i < n / 3 ? 1.0 : 0.0);
        seed = seed * 1664525u + 1013904223u;
        s.right[i] = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * (i < n / 3 ? 0.5 : 0.0);
    }
    return s;
}

} // namespace

TEST(Halvane, IdentityAndParameterSet) {
    Halvane plug;
    EXPECT_STREQ(plug.EffectName(), "Halvane");
    EXPECT_STREQ(plug.ProductName(), "");
    EXPECT_STREQ(plug.MakerName(), "Vorkesh");
    EXPECT_EQ(plug.UniqueId(), 0x72737778);
    EXPECT_EQ(plug.MakerId(), 0x56726B73);
    EXPECT_EQ(plug.VersionText(), "v2.10");
    EXPECT_EQ(plug.ParamCount(), 25);
    EXPECT_EQ(plug.PresetCount(), 150);
    EXPECT_TRUE(plug.IsSupportedIO(2, 2));
    EXPECT_EQ(plug.Latency(), 0);

    EXPECT_STREQ(plug.GetParam(0)->Name(), "Pre Delay");
    EXPECT_STREQ(plug.GetParam(24)->Name(), "Bypass Ceil");
    EXPECT_STREQ(plug.GetParam(24)->Label(), "dB");
    EXPECT_EQ(plug.GetParam(1)->Type(), kTypeDouble);
    EXPECT_EQ(plug.GetParam(0)->Type(), kTypeInt);
    EXPECT_EQ(plug.GetParam(3)->Type(), kTypeEnum);

    EXPECT_NEAR(plug.GetParam(1)->NormalizedValue(), 0.1905, 1e-4);
    EXPECT_NEAR(plug.GetParam(2)->NormalizedValue(), 0.6662, 1e-4);
    EXPECT_NEAR(plug.GetParam(14)->NormalizedValue(), 0.3148, 1e-4);
    EXPECT_NEAR(plug.GetParam(19)->NormalizedValue(), 0.5471, 1e-4);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->NormalizedValue(), 0.02);
    EXPECT_DOUBLE_EQ(plug.GetParam(16)->NormalizedValue(), 0.6875);
    EXPECT_DOUBLE_EQ(plug.GetParam(6)->NormalizedValue(), 0.5);

    EXPECT_EQ(plug.GetParam(1)->FormatForDisplay(3.0, false), "3.0");
    EXPECT_EQ(plug.GetParam(16)->FormatForDisplay(0.0, false), "0");
    EXPECT_EQ(plug.GetParam(3)->FormatForDisplay(59, false), "Special Explosion 7");
    EXPECT_EQ(plug.GetParam(3)->FormatForDisplay(34, false), "Metalic Short");
    EXPECT_EQ(plug.GetParam(3)->FormatForDisplay(19, false), "Canion");
    EXPECT_EQ(plug.GetParam(13)->FormatForDisplay(0, false), "Off");
    EXPECT_EQ(plug.GetParam(18)->FormatForDisplay(plug.GetParam(18)->Value(), false), "Peak");
    EXPECT_EQ(plug.GetParam(17)->FormatForDisplay(1.0, true), "Out Serie");

    // Every enumerated value has its text; every default lies inside its range.
    for (int i = 0; i < plug.ParamCount(); ++i) {
        const IParamSpec* p = plug.GetParam(i);
        EXPECT_GE(p->Default(), p->Min()) << p->Name();
        EXPECT_LE(p->Default(), p->Max()) << p->Name();
        if (p->Type() == kTypeEnum) {
            EXPECT_EQ(p->DisplayTextCount(), static_cast<int>(p->Max()) + 1) << p->Name();
        }
    }
}

TEST(Halvane, FactoryPresetsAndTheDefaultSlot) {
    Halvane plug;
    EXPECT_STREQ(plug.PresetName(0), "---- default ----");
    EXPECT_STREQ(plug.PresetName(2), "Very Large - Stadium");
    EXPECT_STREQ(plug.PresetName(123), "FX - Ocean 2");
    EXPECT_STREQ(plug.PresetName(124), "- 125 -");
    EXPECT_FALSE(plug.GetPreset(124)->initialised);
    for (int i = 0; i < 124; ++i)
        EXPECT_EQ(plug.GetPreset(i)->data.Size(), 200u) << i;

    ASSERT_TRUE(plug.LoadPreset(3)); // "Very Large - Stadium Delay"
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 100.0);
    EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 20.0);

    // The default slot brings back every default.
    ASSERT_TRUE(plug.LoadPreset(123));
    ASSERT_TRUE(plug.LoadPreset(0));
    for (int i = 0; i < plug.ParamCount(); ++i) {
        EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << plug.GetParam(i)->Name();
    }

    ASSERT_TRUE(plug.LoadPreset(124));
    EXPECT_STREQ(plug.PresetName(124), "user preset 1");
}

TEST(Halvane, ReadyOnlyOnceEveryParameterArrived) {
    Halvane plug;
    Prepare(plug, 44100.0, 64);
    for (int i = 0; i < 24; ++i)
        plug.ParamChanged(i);
    EXPECT_FALSE(plug.IsReady());
    plug.ParamChanged(-1);
    plug.ParamChanged(25);
    EXPECT_FALSE(plug.IsReady());
    plug.ParamChanged(24);
    EXPECT_TRUE(plug.IsReady());
}

TEST(Halvane, ImpulseThroughTheDefaults) {
    for (bool floatPath : {false, true}) {
        Halvane plug;
        DeliverAll(plug);
        Set(plug, 18, 0.0); // EQ2 Type "Off"
        Prepare(plug, 44100.0, 1024);
        const int n = 1024;
        std::vector<double> outL(n), outR(n);
        if (floatPath) {
            std::vector<float> inL(n, 0.0f), inR(n, 0.0f), fL(n), fR(n);
            inL[0] = 1.0f;
            float* ins[] = {inL.data(), inR.data()};
            float* outs[] = {fL.data(), fR.data()};
            plug.AttachInputs(0, 2, ins, 2, n);
            plug.AttachOutputs(0, 2, outs, 2, n);
            plug.RunBlockFloat(n);
            for (int i = 0; i < n; ++i)
                outL[i] = fL[i], outR[i] = fR[i];
        } else {
            Stereo in(n);
            in.left[0] = 1.0;
            Stereo out = Render(plug, in, n);
            outL = out.left, outR = out.right;
        }
        EXPECT_NEAR(outL[0], 0.6, 1e-7);
        for (int i = 1; i < 882; ++i)
            ASSERT_EQ(outL[i], 0.0) << i;
        EXPECT_NEAR(outL[882], -0.0433082, 1e-7);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(outR[i], 0.0) << i;
        if (!floatPath) {
            EXPECT_EQ(outL[0], static_cast<double>(60.0f * 0.01f))
                << "the dry gain is formed in single precision";
        }
    }
}

TEST(Halvane, OutputDoesNotDependOnBlockSize) {
    Stereo in = Noise(6000, 7);
    auto run = [&](int block) {
        Halvane plug;
        DeliverAll(plug);
        Set(plug, 0, 5.0);
        Set(plug, 1, 0.4);
        Set(plug, 13, 2.0);
        Set(plug, 17, 3.0);
        Prepare(plug, 48000.0, 512);
        return Render(plug, in, block);
    };
    Stereo whole = run(512), single = run(1), odd = run(37);
    EXPECT_EQ(whole.left, single.left);
    EXPECT_EQ(whole.right, single.right);
    EXPECT_EQ(whole.left, odd.left);
}

TEST(Halvane, StateRoundTripRecreatesTheSound) {
    Halvane a;
    DeliverAll(a);
    ASSERT_TRUE(a.LoadPreset(93)); // "FX - Fireworks"
    StateChunk state;
    ASSERT_TRUE(a.SaveParams(&state));
    ASSERT_EQ(state.Size(), 200u);

    Halvane b;
    DeliverAll(b);
    EXPECT_EQ(b.LoadParams(state, 0), 200);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(a.GetParam(i)->Value(), b.GetParam(i)->Value());

    Prepare(a, 44100.0, 256);
    Prepare(b, 44100.0, 256);
    Stereo in = Noise(3000, 3);
    Stereo outA = Render(a, in, 256), outB = Render(b, in, 256);
    EXPECT_EQ(outA.left, outB.left);
    EXPECT_EQ(outA.right, outB.right);

    // A short state changes only what it holds whole values for.
    StateChunk shortState;
    shortState.PutBytes(state.Data(), 20);
    Halvane c;
    EXPECT_EQ(c.LoadParams(shortState, 0), -1);
    EXPECT_EQ(c.GetParam(0)->Value(), a.GetParam(0)->Value());
    EXPECT_EQ(c.GetParam(1)->Value(), a.GetParam(1)->Value());
    EXPECT_EQ(c.GetParam(2)->Value(), c.GetParam(2)->Default());
}

TEST(Halvane, HostileRatesAndBlocksStayDefined) {
    for (double rate : {0.0, -44100.0, 8000.0, 1.0}) {
        Halvane plug;
        DeliverAll(plug);
        Prepare(plug, rate, 32);
        Stereo in = Noise(20000, 11);
        Stereo out = Render(plug, in, 4096); // longer than the announced block
        for (size_t i = 0; i < out.left.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i]))
                << "rate " << rate << " at " << i;
        }
    }
}

TEST(Halvane, StereoModeShowsOnePlacementControl) {
    Halvane plug;
    auto* editor = new RecordingEditor;
    plug.AttachEditor(editor);
    DeliverAll(plug);
    ASSERT_EQ(editor->hidden.size(), 2u);
    EXPECT_EQ(editor->hidden[0], std::make_pair(6, true));
    EXPECT_EQ(editor->hidden[1], std::make_pair(7, false));

    Set(plug, 5, 0.0); // "Mono"
    ASSERT_EQ(editor->hidden.size(), 4u);
    EXPECT_EQ(editor->hidden[2], std::make_pair(6, false));
    EXPECT_EQ(editor->hidden[3], std::make_pair(7, true));

    Set(plug, 5, 0.0); // same value: nothing recomputed
    EXPECT_EQ(editor->hidden.size(), 4u);
}

TEST(Halvane, SilenceGatePassesAudioThroughAndReportsIt) {
    Halvane plug;
    DeliverAll(plug);
    Set(plug, 1, 0.1); // a short tail
    Prepare(plug, 44100.0, 4096);
    Stereo in(4096);
    in.left[0] = 0.5;
    Render(plug, in, 4096);
    EXPECT_TRUE(plug.IsProcessing());
    for (int i = 0; i < 20; ++i)
        Render(plug, Stereo(4096), 4096);
    EXPECT_FALSE(plug.IsProcessing());

    Stereo quiet(64);
    for (int i = 0; i < 64; ++i)
        quiet.left[i] = quiet.right[i] = 1e-5 * (i % 3);
    Stereo out = Render(plug, quiet, 64);
    EXPECT_EQ(out.left, quiet.left) << "passed through bit for bit";
    EXPECT_EQ(out.right, quiet.right);
}
