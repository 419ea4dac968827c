#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "HostlessPlug.h"
#include "IPlugBase.h"

namespace {

// A three-parameter plug-in that records what the base calls on it.
class TinyPlug : public IPlugBase {
  public:
    TinyPlug()
        : IPlugBase(3, "1-1 2-2", 5, "Tiny", "", "Maker", 0x00020A00, 1, 2, 0, false, false, false, 1) {
        GetParam(0)->DefineInt("Int", 10, 0, 100, "%");
        GetParam(1)->DefineDouble("Real", 0.5, -1.0, 1.0, 0.01);
        GetParam(2)->DefineEnum("Enum", 1, 3);
    }
    void ParamChanged(int index) override { changed.push_back(index); }
    void ProcessBlock(double** in, double** out, int frames) override {
        ++processed;
        for (int c = 0; c < 2; ++c)
            for (int s = 0; s < frames; ++s)
                out[c][s] = in[c][s] * 2.0;
    }
    std::vector<int> changed;
    int processed = 0;
};

using Plug = HostlessPlug<TinyPlug>;

StateChunk ChunkOf(std::initializer_list<double> values) {
    StateChunk chunk;
    for (double v : values)
        chunk.Put(v);
    return chunk;
}

} // namespace

TEST(PlugBase, ConstructionParsesChannelsAndNamesSlots) {
    Plug plug;
    ASSERT_EQ(plug.ChannelConfigs().size(), 2u);
    EXPECT_EQ(plug.InputChannelCount(), 2);
    EXPECT_EQ(plug.OutputChannelCount(), 2);
    EXPECT_TRUE(plug.IsSupportedIO(2, 2));
    EXPECT_TRUE(plug.IsSupportedIO(1, -1));
    EXPECT_FALSE(plug.IsSupportedIO(2, 1));
    EXPECT_STREQ(plug.PresetName(0), "- 1 -");
    EXPECT_STREQ(plug.PresetName(4), "- 5 -");
    EXPECT_STREQ(plug.PresetName(5), "");
    EXPECT_EQ(plug.VersionText(), "v2.10");
    EXPECT_EQ(plug.HostCode(), -1);
    plug.IdentifyHost("REAPER", 0);
    EXPECT_EQ(plug.HostCode(), 1);
    EXPECT_DOUBLE_EQ(plug.SampleRate(), 44100.0);
}

TEST(PlugBase, GarbledChannelStringYieldsZeros) {
    struct G : IPlugBase {
        G() : IPlugBase(0, "x-y 3-", 0, "", "", "", 0, 0, 0, 0, false, false, false, 1) {}
        void BeginParamEdit(int) override {}
        void ParamEdited(int, double) override {}
        void EndParamEdit(int) override {}
        int SamplePosition() override { return 0; }
        double Tempo() override { return 0; }
        void TimeSignature(int*, int*) override {}
        void ResizeEditor(int, int) override {}
        bool SendMidiMessage(const MidiMessage&) override { return false; }
    } g;
    ASSERT_EQ(g.ChannelConfigs().size(), 2u);
    EXPECT_EQ(g.ChannelConfigs()[0].inputs, 0);
    EXPECT_EQ(g.ChannelConfigs()[1].inputs, 3);
    EXPECT_EQ(g.ChannelConfigs()[1].outputs, 0);
    EXPECT_EQ(g.InputChannelCount(), 3);
    EXPECT_EQ(g.OutputChannelCount(), 0);
}

TEST(PlugBase, StateRoundTripAndShortData) {
    Plug plug;
    StateChunk saved;
    ASSERT_TRUE(plug.SaveParams(&saved));
    EXPECT_EQ(saved.Size(), 24u);

    // Out-of-range values are clamped, values between steps are kept as they are.
    StateChunk in = ChunkOf({1000.0, 0.123456, 1.0});
    EXPECT_EQ(plug.LoadParams(in, 0), 24);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 100.0);
    EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 0.123456);
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2}));

    // Short data applies the whole values present and leaves the rest alone.
    plug.changed.clear();
    StateChunk shortChunk = ChunkOf({5.0});
    shortChunk.PutBytes("abc", 3);
    EXPECT_EQ(plug.LoadParams(shortChunk, 0), -1);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 5.0);
    EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 0.123456);
    EXPECT_EQ(plug.changed, (std::vector<int>{0}));

    plug.changed.clear();
    EXPECT_EQ(plug.LoadParams(StateChunk(), 0), -1);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 5.0) << "empty data changes nothing";
    EXPECT_TRUE(plug.changed.empty());
    EXPECT_EQ(plug.LoadParams(in, -1), -1);
    EXPECT_EQ(plug.LoadParams(in, 1000), -1);

    // Garbage that decodes to non-numbers still lands inside the range.
    StateChunk garbage;
    for (int i = 0; i < 24; ++i)
        garbage.Put(static_cast<uint8_t>(0xFF));
    EXPECT_EQ(plug.LoadParams(garbage, 0), 24);
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(plug.GetParam(i)->Value(), plug.GetParam(i)->Min());
        EXPECT_LE(plug.GetParam(i)->Value(), plug.GetParam(i)->Max());
    }
}

TEST(PlugBase, PresetsStoreRecallAndNameUserSlots) {
    Plug plug;
    const double values[] = {42.7, 0.25, 2.0};
    plug.AddPreset("First", values, 3);
    plug.AddEmptyPresets("Empty", 1);
    plug.AddEmptyPresets(nullptr, 1);
    EXPECT_STREQ(plug.PresetName(0), "First");
    EXPECT_STREQ(plug.PresetName(1), "Empty");
    EXPECT_STREQ(plug.PresetName(2), "Default");
    EXPECT_EQ(plug.GetPreset(0)->data.Size(), 24u);

    ASSERT_TRUE(plug.LoadPreset(0));
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 43.0) << "whole-number kinds store whole numbers";
    EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 0.25);
    EXPECT_EQ(plug.CurrentPresetIndex(), 0);

    EXPECT_FALSE(plug.LoadPreset(1)) << "an empty preset reports failure";
    EXPECT_EQ(plug.CurrentPresetIndex(), 1);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 43.0);

    EXPECT_FALSE(plug.LoadPreset(-1));
    EXPECT_FALSE(plug.LoadPreset(5));

    // Unmade slots become user presets, numbered after those already named so.
    ASSERT_TRUE(plug.LoadPreset(3));
    EXPECT_STREQ(plug.PresetName(3), "user preset 1");
    ASSERT_TRUE(plug.LoadPreset(4));
    EXPECT_STREQ(plug.PresetName(4), "user preset 2");
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 43.0);

    plug.AddPreset("No room", values, 3); // every slot is made now: nothing happens
    for (int i = 0; i < plug.PresetCount(); ++i)
        EXPECT_STRNE(plug.PresetName(i), "No room");
}

TEST(PlugBase, PresetBankRoundTrip) {
    Plug source;
    const double values[] = {7.0, -0.5, 0.0};
    source.AddPreset("Bank A", values, 3);
    StateChunk bank;
    ASSERT_TRUE(source.SavePresetBank(&bank));

    Plug target;
    EXPECT_EQ(target.LoadPresetBank(bank, 0), static_cast<int>(bank.Size()));
    EXPECT_STREQ(target.PresetName(0), "Bank A");
    EXPECT_STREQ(target.PresetName(1), "- 2 -");
    EXPECT_DOUBLE_EQ(target.GetParam(0)->Value(), 7.0) << "the current preset is restored at the end";

    StateChunk truncated;
    truncated.PutBytes(bank.Data(), 10);
    EXPECT_EQ(target.LoadPresetBank(truncated, 0), -1);
}

TEST(PlugBase, EditorGesturesAndDeferredEnd) {
    Plug plug;
    plug.SetParamFromEditor(0, 0.5);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 50.0);
    ASSERT_EQ(plug.edits.size(), 1u);
    EXPECT_EQ(plug.edits[0].kind, 'p');
    EXPECT_EQ(plug.changed, (std::vector<int>{0}));
    plug.SetParamFromEditor(99, 0.5); // unknown index: ignored
    EXPECT_EQ(plug.edits.size(), 1u);

    // Without an editor the end of a gesture goes to the host at once.
    plug.EndParamEditDeferred(0);
    ASSERT_EQ(plug.edits.size(), 2u);
    EXPECT_EQ(plug.edits[1].kind, 'e');

    auto* editor = new RecordingEditor;
    plug.AttachEditor(editor);
    EXPECT_EQ(editor->prepared, 1);
    ASSERT_EQ(editor->pushes.size(), 3u);
    EXPECT_TRUE(editor->pushes[0].normalized);
    EXPECT_DOUBLE_EQ(editor->pushes[0].value, 0.5);

    plug.EndParamEditDeferred(2);
    EXPECT_EQ(editor->countdown, 12);
    EXPECT_EQ(plug.edits.size(), 2u) << "deferred";
    plug.FlushDeferredEndEdit();
    EXPECT_EQ(editor->countdown, 0);
    ASSERT_EQ(plug.edits.size(), 3u);
    EXPECT_EQ(plug.edits[2].index, 2);
    plug.FlushDeferredEndEdit();
    EXPECT_EQ(plug.edits.size(), 3u) << "nothing pending twice";

    editor->frameRate = 1;
    plug.EndParamEditDeferred(1);
    EXPECT_EQ(editor->countdown, 1) << "at least one tick";

    editor->pushes.clear();
    plug.RefreshParamControls();
    ASSERT_EQ(editor->pushes.size(), 3u);
    EXPECT_FALSE(editor->pushes[0].normalized);
    EXPECT_DOUBLE_EQ(editor->pushes[0].value, 50.0);
}

TEST(PlugBase, RoutingDoubleAndFloat) {
    Plug plug;
    plug.SetMaxBlockSize(4);
    plug.SetInputConnections(0, 2, true);
    plug.SetOutputConnections(0, 2, true);

    double inL[4] = {1, 2, 3, 4}, inR[4] = {5, 6, 7, 8}, outL[4] = {}, outR[4] = {};
    double* ins[] = {inL, inR};
    double* outs[] = {outL, outR};

    // Not ready: nothing runs; pass-through copies.
    plug.AttachInputs(0, 2, ins, 2, 4);
    plug.AttachOutputs(0, 2, outs, 2, 4);
    plug.RunBlock(4);
    EXPECT_EQ(plug.processed, 0);
    plug.PassThrough(4);
    EXPECT_EQ(outR[3], 8.0);

    plug.SetReady();
    plug.RunBlock(4);
    EXPECT_EQ(plug.processed, 1);
    EXPECT_EQ(outL[0], 2.0);

    // Float form: converted in and out.
    float fInL[4] = {1, 1, 1, 1}, fInR[4] = {2, 2, 2, 2}, fOutL[4] = {}, fOutR[4] = {};
    float* fIns[] = {fInL, fInR};
    float* fOuts[] = {fOutL, fOutR};
    plug.AttachInputs(0, 2, fIns, 2, 4);
    plug.AttachOutputs(0, 2, fOuts, 2, 4);
    plug.RunBlockFloat(4);
    EXPECT_EQ(fOutR[2], 4.0f);

    // An unconnected input reads silence and consumes no host buffer.
    plug.SetInputConnections(0, 1, false);
    plug.AttachInputs(0, 2, fIns, 1, 4);
    plug.RunBlockFloat(4);
    EXPECT_EQ(fOutL[0], 0.0f);
    EXPECT_EQ(fOutR[0], 2.0f) << "the right channel took the first host buffer";
    EXPECT_FALSE(plug.IsInputConnected(0));
}

TEST(PlugBase, BlocksLongerThanAnnouncedAreProcessedWithoutOverrun) {
    Plug plug;
    plug.SetReady();
    plug.SetInputConnections(0, 2, true);
    plug.SetOutputConnections(0, 2, true);
    // No block size was ever set, then a block of 1000 frames arrives.
    std::vector<float> inL(1000, 0.5f), inR(1000, 0.25f), outL(1000), outR(1000);
    float* ins[] = {inL.data(), inR.data()};
    float* outs[] = {outL.data(), outR.data()};
    plug.AttachInputs(0, 2, ins, 2, 1000);
    plug.AttachOutputs(0, 2, outs, 2, 1000);
    plug.RunBlockFloat(1000);
    EXPECT_EQ(outL[999], 1.0f);
    EXPECT_EQ(outR[999], 0.5f);

    plug.SetMaxBlockSize(16);
    std::vector<float> longIn(5000, 1.0f), longOut(5000, -1.0f);
    float* one[] = {longIn.data()};
    float* oneOut[] = {longOut.data()};
    plug.SetInputConnections(1, 1, false);
    plug.SetOutputConnections(1, 1, false);
    plug.AttachInputs(0, 2, one, 1, 5000);
    plug.AttachOutputs(0, 2, oneOut, 1, 5000);
    plug.RunBlockFloat(5000);
    EXPECT_EQ(longOut[4999], 2.0f);

    // Missing host buffers fall back to the plug-in's own.
    plug.AttachInputs(0, 2, static_cast<float* const*>(nullptr), 0, 64);
    plug.AttachOutputs(0, 2, static_cast<double* const*>(nullptr), 0, 64);
    plug.RunBlock(64);
    EXPECT_EQ(plug.processed, 3);
}

TEST(PlugBase, BlockSizeAndConversionBuffers) {
    Plug plug;
    plug.SetInputConnections(0, 2, true);
    plug.SetOutputConnections(0, 2, true);
    plug.SetMaxBlockSize(4);
    float in[4] = {3, 3, 3, 3};
    float* ins[] = {in, in};
    float out[4] = {9, 9, 9, 9};
    float* outs[] = {out, out};
    plug.AttachInputs(0, 2, ins, 2, 4);
    plug.AttachOutputs(0, 2, outs, 2, 4);
    plug.PassThroughFloat(4);
    EXPECT_EQ(out[0], 3.0f);

    // The same size keeps the buffers; not ready, the float form still copies the output buffers out.
    plug.SetMaxBlockSize(4);
    out[1] = 9.0f;
    plug.AttachOutputs(0, 2, outs, 2, 4);
    plug.RunBlockFloat(4);
    EXPECT_EQ(out[1], 3.0f) << "buffers kept their content";

    plug.SetMaxBlockSize(8);
    plug.AttachOutputs(0, 2, outs, 2, 4);
    plug.RunBlockFloat(4);
    EXPECT_EQ(out[1], 0.0f) << "a new size clears them";
}
