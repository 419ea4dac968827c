// The audio component and processor of the real module, driven as a host drives it: buses
// and arrangements, processing set-up, parameter queues, presets and bypass delivered with
// blocks, the reverb's impulse response in both sample sizes, and hosts that hand over
// blocks the plug-in must survive.

#include "HalvaneHost.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <functional>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;
using halvane::host::ParameterChanges;
using halvane::host::ProcessBuffers;

namespace {

class HalvaneProcessor : public HalvaneFixture {};

// The dry level as the engine forms it, in single precision.
double dryGain(float percent) {
    return static_cast<double>(percent * 0.01f);
}

// Defaults except "EQ2 Type" Off, 44.1 kHz, empty lines, a unit impulse on the left: the dry
// part at once, then nothing until the pre-delay (882 samples) hands the impulse to the loops.
void expectImpulseResponse(const std::vector<double>& left, const std::vector<double>& right,
                           int32 sampleSize) {
    ASSERT_GT(left.size(), 882u);
    if (sampleSize == kSample64)
        EXPECT_EQ(left[0], dryGain(60.0f));
    else
        EXPECT_EQ(left[0], static_cast<double>(static_cast<float>(dryGain(60.0f))));
    for (size_t i = 1; i < 882; ++i)
        ASSERT_EQ(left[i], 0.0) << "sample " << i;
    EXPECT_NEAR(left[882], -0.0433082, 1e-7);
    for (size_t i = 0; i < right.size(); ++i)
        ASSERT_EQ(right[i], 0.0) << "sample " << i;
}

void expectImpulseExample(halvane::host::PluginInstance& plug, int32 sampleSize) {
    auto eq2Off = changes({{kEq2Type, 0.0}});
    const Stereo out = render(plug, sampleSize, impulse(1024), 1024, eq2Off);
    expectImpulseResponse(out.left, out.right, sampleSize);
}

bool allFinite(const Stereo& s) {
    for (size_t i = 0; i < s.size(); ++i)
        if (!std::isfinite(s.left[i]) || !std::isfinite(s.right[i]))
            return false;
    return true;
}

// A bypassed block hands the input over unchanged: the routing survived whatever came before.
void expectBypassPassesThrough(halvane::host::PluginInstance& plug, int32 sampleSize) {
    const Stereo in = noise(256, 11);
    auto bypass = changes({{kBypassId, 1.0}});
    const Stereo out = render(plug, sampleSize, in, 256, bypass);
    for (size_t i = 0; i < in.size(); ++i) {
        const double l = sampleSize == kSample64 ? in.left[i] : static_cast<float>(in.left[i]);
        const double r = sampleSize == kSample64 ? in.right[i] : static_cast<float>(in.right[i]);
        ASSERT_EQ(out.left[i], l) << "sample " << i;
        ASSERT_EQ(out.right[i], r) << "sample " << i;
    }
}

tresult arrange(halvane::host::PluginInstance& plug, std::vector<SpeakerArrangement> in,
                std::vector<SpeakerArrangement> out) {
    return plug.processor()->setBusArrangements(
        in.empty() ? nullptr : in.data(), static_cast<int32>(in.size()), out.empty() ? nullptr : out.data(),
        static_cast<int32>(out.size()));
}

int32 channelsOf(halvane::host::PluginInstance& plug, BusDirection dir) {
    BusInfo info{};
    EXPECT_EQ(plug.component()->getBusInfo(kAudio, dir, 0, info), kResultOk);
    return info.channelCount;
}

} // namespace

TEST_F(HalvaneProcessor, OneStereoInputAndOutputBus) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IComponent* component = plug->component();
    EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);

    BusInfo info{};
    ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, info), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(info.name, 128), "Main Input");
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
    ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(info.name, 128), "Output");
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));

    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(plug->processor()->getBusArrangement(kInput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    ASSERT_EQ(plug->processor()->getBusArrangement(kOutput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
}

TEST_F(HalvaneProcessor, AcceptsStereoAndMonoPairsOnly) {
    auto plug = create();
    ASSERT_TRUE(plug);
    const SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;

    EXPECT_EQ(arrange(*plug, {stereo}, {stereo}), kResultOk);
    EXPECT_EQ(channelsOf(*plug, kInput), 2);

    EXPECT_EQ(arrange(*plug, {mono}, {mono}), kResultOk);
    EXPECT_EQ(channelsOf(*plug, kInput), 1);
    EXPECT_EQ(channelsOf(*plug, kOutput), 1);
    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(plug->processor()->getBusArrangement(kOutput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kMono);

    EXPECT_EQ(arrange(*plug, {stereo}, {stereo}), kResultOk);
    EXPECT_EQ(channelsOf(*plug, kInput), 2);
    EXPECT_EQ(channelsOf(*plug, kOutput), 2);

    EXPECT_EQ(arrange(*plug, {stereo}, {mono}), kResultFalse);
    EXPECT_EQ(arrange(*plug, {mono}, {stereo}), kResultFalse);
    EXPECT_EQ(arrange(*plug, {SpeakerArr::k51}, {SpeakerArr::k51}), kResultFalse);
    EXPECT_EQ(arrange(*plug, {stereo, stereo}, {stereo}), kResultFalse);
    EXPECT_EQ(arrange(*plug, {}, {stereo}), kResultFalse);
}

TEST_F(HalvaneProcessor, SampleSizesLatencyAndSetup) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IAudioProcessor* processor = plug->processor();
    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(2), kResultFalse);
    EXPECT_EQ(processor->getLatencySamples(), 0u);

    ASSERT_EQ(plug->setupProcessing(44100.0, 512, kSample64), kResultOk);
    // A set-up the plug-in cannot take leaves the previous one in force (the tail shows the rate).
    EXPECT_EQ(plug->setupProcessing(96000.0, 512, 2), kResultFalse);
    EXPECT_NEAR(static_cast<double>(processor->getTailSamples()), 265482.0, 1.0);
}

TEST_F(HalvaneProcessor, TailIsPreDelayPlusTheRingingOfTheDecayAtTheCurrentRate) {
    auto plug = start(kSample64, 44100.0);
    ASSERT_TRUE(plug);
    IAudioProcessor* processor = plug->processor();
    // round((20 ms + 2 x 3.0 s) * 44100): the tail rings for up to about twice Time
    EXPECT_NEAR(static_cast<double>(processor->getTailSamples()), 265482.0, 1.0);

    apply(*plug, kSample64, {{kTime, normalizedOf(10.0, 0.1, 80.0, 2.0)}});
    EXPECT_NEAR(static_cast<double>(processor->getTailSamples()), 882882.0, 1.0);
    apply(*plug, kSample64, {{kPreDelay, 0.5}});
    EXPECT_NEAR(static_cast<double>(processor->getTailSamples()), 904050.0, 1.0);

    ASSERT_EQ(plug->setupProcessing(48000.0, 1024, kSample64), kResultOk);
    EXPECT_NEAR(static_cast<double>(processor->getTailSamples()), 984000.0, 1.0);
}

TEST_F(HalvaneProcessor, OnlyTheLastPointOfAQueueCountsAndItLandsBeforeTheBlock) {
    auto plug = start(kSample64);
    ASSERT_TRUE(plug);
    auto queued = owned(new ParameterChanges());
    queued->addChange(kDryMix, 0, 0.1);
    queued->addChange(kDryMix, 5, 0.9);
    queued->addChange(kDryMix, 10, 0.25);
    // Unreadable queues and ids nobody registered are passed over.
    queued->addChange(kPreDelay, 0, 0.9);
    queued->queueFor(kPreDelay)->setUnreadable(true);
    queued->addChange(1000, 0, 0.7);
    queued->addChange(kParamCount, 0, 0.7);

    auto written = owned(new ParameterChanges());
    const Stereo in = noise(512, 3);
    ProcessBuffers buffers(kSample64, 512);
    for (int32 i = 0; i < 512; ++i) {
        buffers.channel64(kInput, 0, 0)[i] = in.left[static_cast<size_t>(i)];
        buffers.channel64(kInput, 0, 1)[i] = in.right[static_cast<size_t>(i)];
    }
    ASSERT_EQ(plug->process(buffers.prepare(512, queued, written)), kResultOk);

    // The wet path is silent until the 20 ms pre-delay has passed: what comes out is the dry level.
    for (int32 i = 0; i < 512; ++i) {
        ASSERT_EQ(buffers.channel64(kOutput, 0, 0)[i], dryGain(25.0f) * in.left[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(buffers.channel64(kOutput, 0, 1)[i], dryGain(25.0f) * in.right[static_cast<size_t>(i)])
            << i;
    }
    EXPECT_DOUBLE_EQ(plug->controller()->getParamNormalized(kDryMix), 0.25);
    EXPECT_EQ(stateValues(*plug).at(kPreDelay), 20.0);
    EXPECT_EQ(written->getParameterCount(), 0);
}

TEST_F(HalvaneProcessor, ProgramParameterLoadsPresetsByIndex) {
    auto plug = start(kSample64);
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();

    // 0.5 of 149 steps is preset 75, "Very Small Low - Arena".
    apply(*plug, kSample64, {{kProgramId, 0.5}});
    const std::vector<double> arena = {20, 0.2,  1000, 2,   0, 2, 0,    5,  100, 90, 30, 50, 100,
                                       0,  2000, 50,   6.0, 0, 0, 6000, 75, 6.0, 80, 30, -60};
    EXPECT_EQ(stateValues(*plug), arena);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kProgramId), 75.0 / 149.0);

    // Preset 0 is the default preset: every default comes back.
    apply(*plug, kSample64, {{kProgramId, 0.0}});
    EXPECT_EQ(stateValues(*plug), defaultValues());
    EXPECT_EQ(controller->getParamNormalized(kProgramId), 0.0);

    // The last slot was never made: selecting it names it and changes no parameter.
    apply(*plug, kSample64, {{kPreDelay, 0.1}});
    const std::vector<double> before = stateValues(*plug);
    apply(*plug, kSample64, {{kProgramId, 1.0}});
    EXPECT_EQ(stateValues(*plug), before);
    EXPECT_EQ(controller->getParamNormalized(kProgramId), 1.0);
    String128 name = {};
    ASSERT_EQ(plug->unitInfo()->getProgramName(kProgramId, 149, name), kResultOk);
    EXPECT_EQ(text(name), "user preset 1");
    apply(*plug, kSample64, {{kProgramId, 148.0 / 149.0}});
    ASSERT_EQ(plug->unitInfo()->getProgramName(kProgramId, 148, name), kResultOk);
    EXPECT_EQ(text(name), "user preset 2");
}

TEST_F(HalvaneProcessor, BypassAboveHalfCopiesInputToOutput) {
    for (int32 sampleSize : {kSample32, kSample64}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        auto plug = start(sampleSize);
        ASSERT_TRUE(plug);
        const Stereo in = noise(512, 5);
        auto asIs = [&](double x) { return sampleSize == kSample64 ? x : static_cast<float>(x); };

        auto half = changes({{kBypassId, 0.5}});
        Stereo out = render(*plug, sampleSize, in, 512, half);
        EXPECT_EQ(plug->controller()->getParamNormalized(kBypassId), 0.0);
        EXPECT_EQ(out.left[1], asIs(dryGain(60.0f) * asIs(in.left[1])));

        auto above = changes({{kBypassId, 0.51}});
        out = render(*plug, sampleSize, in, 512, above);
        EXPECT_EQ(plug->controller()->getParamNormalized(kBypassId), 1.0);
        for (size_t i = 0; i < in.size(); ++i) {
            ASSERT_EQ(out.left[i], asIs(in.left[i])) << i;
            ASSERT_EQ(out.right[i], asIs(in.right[i])) << i;
        }

        // A new set-up ends the bypass.
        ASSERT_EQ(plug->setupProcessing(44100.0, 1024, sampleSize), kResultOk);
        EXPECT_EQ(plug->controller()->getParamNormalized(kBypassId), 0.0);
        out = render(*plug, sampleSize, in, 512);
        EXPECT_NE(out.left[1], asIs(in.left[1]));

        // The controller's bypass is the one process obeys.
        ASSERT_EQ(plug->controller()->setParamNormalized(kBypassId, 1.0), kResultOk);
        out = render(*plug, sampleSize, in, 512);
        EXPECT_EQ(out.left[7], asIs(in.left[7]));
    }
}

TEST_F(HalvaneProcessor, ImpulseResponseInBothSampleSizes) {
    for (int32 sampleSize : {kSample64, kSample32}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        auto plug = start(sampleSize);
        ASSERT_TRUE(plug);
        expectImpulseExample(*plug, sampleSize);
    }
}

TEST_F(HalvaneProcessor, MonoHostBlockRunsTheLeftChannel) {
    for (int32 sampleSize : {kSample64, kSample32}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        auto plug = create();
        ASSERT_TRUE(plug);
        ASSERT_EQ(arrange(*plug, {SpeakerArr::kMono}, {SpeakerArr::kMono}), kResultOk);
        ASSERT_EQ(plug->activateDefaultBuses(), kResultOk);
        ASSERT_EQ(plug->setupProcessing(44100.0, 1024, sampleSize), kResultOk);
        ASSERT_EQ(plug->setActive(true), kResultOk);

        // The missing right channel reads silence, and its output goes nowhere.
        ProcessBuffers buffers(sampleSize, 1024, {1}, {1});
        if (sampleSize == kSample64)
            buffers.channel64(kInput, 0, 0)[0] = 1.0;
        else
            buffers.channel32(kInput, 0, 0)[0] = 1.0f;
        auto eq2Off = changes({{kEq2Type, 0.0}});
        ASSERT_EQ(plug->process(buffers.prepare(1024, eq2Off)), kResultOk);
        std::vector<double> left(1024);
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = sampleSize == kSample64 ? buffers.channel64(kOutput, 0, 0)[i]
                                              : buffers.channel32(kOutput, 0, 0)[i];
        expectImpulseResponse(left, {}, sampleSize);
    }
}

TEST_F(HalvaneProcessor, MissingChannelReadsSilenceAfterStereoBlocks) {
    // "Stereo" Mono feeds both inputs into one network, so a stale right channel would be heard.
    auto run = [&](bool stereoFirst) {
        std::vector<double> left(2048);
        auto plug = start(kSample32, 44100.0, 2048);
        if (!plug)
            return left;
        if (stereoFirst)
            render(*plug, kSample32, noise(2048, 6), 2048, changes({{kBypassId, 1.0}}));
        ProcessBuffers buffers(kSample32, 2048, {1}, {1});
        buffers.channel32(kInput, 0, 0)[0] = 1.0f;
        auto mono = changes({{kBypassId, 0.0}, {kStereo, 0.0}});
        EXPECT_EQ(plug->process(buffers.prepare(2048, mono)), kResultOk);
        for (size_t i = 0; i < left.size(); ++i)
            left[i] = buffers.channel32(kOutput, 0, 0)[i];
        return left;
    };
    const std::vector<double> fresh = run(false);
    EXPECT_NE(fresh[882], 0.0);
    EXPECT_EQ(run(true), fresh);
}

TEST_F(HalvaneProcessor, ThirtyTwoBitOutputsAreWrittenAfterEveryBlockBypassedOrNot) {
    auto plug = start(kSample32);
    ASSERT_TRUE(plug);
    for (unsigned seed : {1u, 2u}) {
        const Stereo in = noise(300, seed);
        auto bypass = changes({{kBypassId, 1.0}});
        const Stereo out = render(*plug, kSample32, in, 300, bypass);
        for (size_t i = 0; i < in.size(); ++i) {
            ASSERT_EQ(out.left[i], static_cast<float>(in.left[i])) << seed << ": " << i;
            ASSERT_EQ(out.right[i], static_cast<float>(in.right[i])) << seed << ": " << i;
        }
    }
    // Bypass off again: the reverb's own output, converted, not what the bypass left behind
    // (the bypassed blocks never reached the reverb, so its lines are still empty).
    const Stereo out =
        render(*plug, kSample32, impulse(1024), 1024, changes({{kBypassId, 0.0}, {kEq2Type, 0.0}}));
    expectImpulseResponse(out.left, out.right, kSample32);
}

TEST_F(HalvaneProcessor, OutputDoesNotDependOnBlockSize) {
    for (int32 sampleSize : {kSample64, kSample32}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        const Stereo in = noise(3000, 9);
        auto run = [&](int32 block) {
            auto plug = start(sampleSize, 44100.0, 3000);
            auto setting = changes({{kPreDelay, 0.005}, {kStereo, 4.0 / 7.0}, {kEqType, 1.0 / 3.0}});
            return plug ? render(*plug, sampleSize, in, block, setting) : Stereo();
        };
        const Stereo whole = run(3000);
        ASSERT_TRUE(allFinite(whole));
        for (int32 block : {1, 37}) {
            const Stereo split = run(block);
            ASSERT_EQ(split.size(), whole.size());
            for (size_t i = 0; i < whole.size(); ++i) {
                ASSERT_EQ(split.left[i], whole.left[i]) << "block " << block << ", sample " << i;
                ASSERT_EQ(split.right[i], whole.right[i]) << "block " << block << ", sample " << i;
            }
        }
    }
}

TEST_F(HalvaneProcessor, BlocksBeforeSetUpAreSafe) {
    auto plug = create();
    ASSERT_TRUE(plug);
    ASSERT_EQ(plug->activateDefaultBuses(), kResultOk);
    for (int32 sampleSize : {kSample32, kSample64}) {
        ProcessBuffers buffers(sampleSize, 2048);
        plug->process(buffers.prepare(2048));
    }
    // Nothing of those blocks lingers once the host sets processing up.
    ASSERT_EQ(plug->setupProcessing(44100.0, 1024, kSample64), kResultOk);
    ASSERT_EQ(plug->setActive(true), kResultOk);
    expectImpulseExample(*plug, kSample64);
}

TEST_F(HalvaneProcessor, BlocksBeyondTheSetUpMaximumAreSafe) {
    for (int32 sampleSize : {kSample32, kSample64}) {
        SCOPED_TRACE(sampleSize == kSample64 ? "64-bit" : "32-bit");
        auto plug = start(sampleSize, 44100.0, 64);
        ASSERT_TRUE(plug);
        const Stereo out = render(*plug, sampleSize, noise(5000, 4), 5000);
        EXPECT_TRUE(allFinite(out));
        expectBypassPassesThrough(*plug, sampleSize);
    }
}

TEST_F(HalvaneProcessor, NullAndMissingBuffersAreSafe) {
    struct Case {
        const char* what;
        std::vector<int32> inputs, outputs;
        std::function<void(ProcessBuffers&)> before; // ahead of prepare
        std::function<void(ProcessData&)> after;     // on the prepared data
    };
    const std::vector<Case> cases = {
        {"null input channel array",
         {2},
         {2},
         [](ProcessBuffers& b) { b.setNullChannelArray(kInput, 0); },
         {}},
        {"null output channel array",
         {2},
         {2},
         [](ProcessBuffers& b) { b.setNullChannelArray(kOutput, 0); },
         {}},
        {"null input channel", {2}, {2}, [](ProcessBuffers& b) { b.setNullChannel(kInput, 0, 1); }, {}},
        {"null output channel", {2}, {2}, [](ProcessBuffers& b) { b.setNullChannel(kOutput, 0, 0); }, {}},
        {"no buses", {}, {}, {}, {}},
        {"no input bus", {}, {2}, {}, {}},
        {"no output bus", {2}, {}, {}, {}},
        {"bus count without buses", {2}, {2}, {}, [](ProcessData& d) { d.inputs = d.outputs = nullptr; }},
        {"more channels than the plug-in has", {3}, {3}, {}, {}},
        {"negative sample count", {2}, {2}, {}, [](ProcessData& d) { d.numSamples = -5; }},
    };
    for (int32 sampleSize : {kSample32, kSample64}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (sampleSize == kSample64 ? ", 64-bit" : ", 32-bit"));
            auto plug = start(sampleSize, 44100.0, 256);
            ASSERT_TRUE(plug);
            ProcessBuffers buffers(sampleSize, 256, c.inputs, c.outputs);
            if (c.before)
                c.before(buffers);
            ProcessData& data = buffers.prepare(256);
            if (c.after)
                c.after(data);
            plug->process(data);
            expectBypassPassesThrough(*plug, sampleSize);
        }
    }
}
