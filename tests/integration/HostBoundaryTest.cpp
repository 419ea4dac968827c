// What a careless or hostile host does at the VST 3 boundary: blocks that drop the buffers of the block
// before, blocks far longer than announced, program values that are not numbers, arrangements after bus
// activation, null out-pointers and a second initialisation; and what a host must hear back: the
// values a program change or a state load gave the parameters.

#include "HalvaneHost.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;
using halvane::host::ParameterChanges;
using halvane::host::ProcessBuffers;

namespace {

class HalvaneBoundary : public HalvaneFixture {};

void fill(ProcessBuffers& buffers, BusDirection dir, unsigned seed) {
    const Stereo s = noise(static_cast<size_t>(buffers.capacity()), seed);
    for (int32 c = 0; c < buffers.channelCount(dir, 0); ++c)
        for (int32 i = 0; i < buffers.capacity(); ++i) {
            const double x =
                dir == kOutput ? kUnwritten : (c == 0 ? s.left : s.right)[static_cast<size_t>(i)];
            if (buffers.sampleSize() == kSample64)
                buffers.channel64(dir, 0, c)[i] = x;
            else
                buffers.channel32(dir, 0, c)[i] = static_cast<float>(x);
        }
}

double sample(ProcessBuffers& buffers, BusDirection dir, int32 c, int32 i) {
    return buffers.sampleSize() == kSample64 ? buffers.channel64(dir, 0, c)[i]
                                             : buffers.channel32(dir, 0, c)[i];
}

enum class Drop { NoOutputBuses, NullOutputs, NoInputBus };

// One stereo block, then a block without outputs or without inputs. The first block's buffers stay
// alive and marked, so a plug-in that still uses them shows; returns the second block's outputs.
Stereo secondBlockWithout(halvane::host::PluginInstance& plug, int32 sampleSize, Drop drop, bool bypass,
                          bool* firstUntouched) {
    if (bypass)
        apply(plug, sampleSize, {{kBypassId, 1.0}});
    ProcessBuffers first(sampleSize, 256);
    fill(first, kInput, 1);
    fill(first, kOutput, 0);
    EXPECT_EQ(plug.process(first.prepare(256)), kResultOk);
    fill(first, kOutput, 0);

    ProcessBuffers second(sampleSize, 256);
    fill(second, kInput, 2);
    fill(second, kOutput, 0);
    ProcessData& data = second.prepare(256);
    if (drop == Drop::NoOutputBuses)
        data.numOutputs = 0;
    if (drop == Drop::NullOutputs)
        data.outputs = nullptr;
    if (drop == Drop::NoInputBus)
        data.numInputs = 0;
    EXPECT_EQ(plug.process(data), kResultOk);

    *firstUntouched = true;
    for (int32 c = 0; c < 2; ++c)
        for (int32 i = 0; i < 256; ++i)
            *firstUntouched = *firstUntouched && sample(first, kOutput, c, i) == kUnwritten;
    Stereo out(256);
    for (int32 i = 0; i < 256; ++i) {
        out.left[static_cast<size_t>(i)] = sample(second, kOutput, 0, i);
        out.right[static_cast<size_t>(i)] = sample(second, kOutput, 1, i);
    }
    return out;
}

TEST_F(HalvaneBoundary, BlockWithoutBuffersUsesNoneOfTheBlockBefore) {
    for (int32 size : {kSample64, kSample32}) {
        for (bool bypass : {false, true}) {
            SCOPED_TRACE(testing::Message() << "sample size " << size << (bypass ? ", bypassed" : ""));
            for (Drop drop : {Drop::NoOutputBuses, Drop::NullOutputs}) {
                auto plug = start(size, 44100.0, 256);
                bool untouched = false;
                secondBlockWithout(*plug, size, drop, bypass, &untouched);
                EXPECT_TRUE(untouched);
            }
            // Without an input bus the block reads silence: the same as a block of zeros.
            auto plug = start(size, 44100.0, 256);
            bool untouched = false;
            const Stereo out = secondBlockWithout(*plug, size, Drop::NoInputBus, bypass, &untouched);
            EXPECT_TRUE(untouched);
            auto reference = start(size, 44100.0, 256);
            if (bypass)
                apply(*reference, size, {{kBypassId, 1.0}});
            render(*reference, size, noise(256, 1), 256);
            const Stereo expected = render(*reference, size, Stereo(256), 256);
            EXPECT_EQ(out.left, expected.left);
            EXPECT_EQ(out.right, expected.right);
        }
    }
}

TEST_F(HalvaneBoundary, BlockLongerThanSetUpGivesTheSameAsShortBlocks) {
    for (int32 size : {kSample64, kSample32}) {
        const Stereo in = noise(40000, 5);
        auto longBlock = start(size, 44100.0, 512);
        auto shortBlocks = start(size, 44100.0, 512);
        const Stereo a = render(*longBlock, size, in, 40000);
        const Stereo b = render(*shortBlocks, size, in, 512);
        EXPECT_EQ(a.left, b.left);
        EXPECT_EQ(a.right, b.right);
    }
}

TEST_F(HalvaneBoundary, ProgramConversionsAreDefinedForEveryValue) {
    auto plug = start();
    IEditController* controller = plug->controller();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {nan, -inf, -1.0, -1e300, -0.0})
        EXPECT_EQ(controller->normalizedParamToPlain(kProgramId, v), 0.0) << v;
    for (double v : {inf, 2.0, 1e300})
        EXPECT_EQ(controller->normalizedParamToPlain(kProgramId, v), kPresetCount - 1) << v;
    EXPECT_EQ(controller->normalizedParamToPlain(kProgramId, 1.0), kPresetCount - 1);
    for (double v : {nan, -inf, -5.0})
        EXPECT_EQ(controller->plainParamToNormalized(kProgramId, v), 0.0) << v;
    for (double v : {inf, 1e300, 1000.0})
        EXPECT_EQ(controller->plainParamToNormalized(kProgramId, v), 1.0) << v;
}

TEST_F(HalvaneBoundary, ReplacedBusKeepsActiveState) {
    for (bool outputActive : {true, false}) {
        auto plug = create();
        ASSERT_TRUE(plug);
        plug->component()->activateBus(kAudio, kInput, 0, true);
        plug->component()->activateBus(kAudio, kOutput, 0, outputActive);
        std::vector<SpeakerArrangement> mono = {SpeakerArr::kMono};
        ASSERT_EQ(plug->processor()->setBusArrangements(mono.data(), 1, mono.data(), 1), kResultOk);
        ASSERT_EQ(plug->setupProcessing(44100.0, 64, kSample64), kResultOk);
        plug->setActive(true);
        apply(*plug, kSample64, {{kBypassId, 1.0}});

        ProcessBuffers buffers(kSample64, 64, {1}, {1});
        fill(buffers, kInput, 3);
        fill(buffers, kOutput, 0);
        plug->process(buffers.prepare(64));
        const double expected = outputActive ? sample(buffers, kInput, 0, 10) : kUnwritten;
        EXPECT_EQ(sample(buffers, kOutput, 0, 10), expected) << "output active " << outputActive;
    }
}

TEST_F(HalvaneBoundary, OddCallsGetDefinedAnswers) {
    auto plug = start();
    EXPECT_EQ(plug->component()->queryInterface(IComponent::iid, nullptr), kInvalidArgument);
    EXPECT_EQ(plug->controller()->queryInterface(IEditController::iid, nullptr), kInvalidArgument);

    // A second initialisation changes nothing, also when neither brings a host context.
    halvane::host::ClassInfo info;
    ASSERT_TRUE(module()->findClass("Audio Module Class", info));
    void* object = nullptr;
    ASSERT_EQ(module()->factory()->createInstance(info.cid.data(), IComponent::iid, &object), kResultOk);
    auto bare = owned(static_cast<IComponent*>(object));
    FUnknownPtr<IEditController> controller(bare);
    ASSERT_TRUE(controller);
    EXPECT_EQ(bare->initialize(nullptr), kResultOk);
    EXPECT_EQ(bare->initialize(nullptr), kResultFalse);
    EXPECT_EQ(plug->component()->initialize(plug->hostApplication().unknownCast()), kResultFalse);
    EXPECT_EQ(controller->getParameterCount(), kParamCount + 1);
    EXPECT_EQ(bare->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(bare->getBusCount(kAudio, kOutput), 1);
    bare->terminate();
}

TEST_F(HalvaneBoundary, ProgramChangeTellsTheHostEveryChangedValue) {
    auto plug = start();
    const std::vector<double> before = stateValues(*plug);
    auto in = changes({{kProgramId, 40.0 / (kPresetCount - 1)}});
    auto out = owned(new ParameterChanges());
    ProcessBuffers buffers(kSample64, 64);
    ASSERT_EQ(plug->process(buffers.prepare(64, in, out)), kResultOk);

    const std::vector<double> after = stateValues(*plug);
    int changed = 0;
    for (ParamID id = 0; id < kParamCount; ++id) {
        auto* queue = out->queueFor(id);
        if (after[id] == before[id]) {
            EXPECT_TRUE(!queue || queue->getPointCount() == 0) << "parameter " << id;
            continue;
        }
        ++changed;
        ASSERT_TRUE(queue) << "parameter " << id;
        ASSERT_EQ(queue->getPointCount(), 1);
        int32 offset = -1;
        ParamValue value = -1.0;
        ASSERT_EQ(queue->getPoint(0, offset, value), kResultOk);
        EXPECT_EQ(offset, 0);
        EXPECT_EQ(value, plug->controller()->getParamNormalized(id)) << "parameter " << id;
    }
    EXPECT_GT(changed, 5);
    EXPECT_EQ(out->getParameterCount(), changed);
}

TEST_F(HalvaneBoundary, StateThatChangesValuesAsksHostToReadThem) {
    auto plug = start();
    std::vector<double> values = defaultValues();
    values[kTime] = 7.5;
    plug->componentHandler().clear();
    plug->loadState(bytesOf(values));
    EXPECT_EQ(plug->componentHandler().restarts(), std::vector<int32>{kParamValuesChanged});

    plug->componentHandler().clear();
    plug->loadState(bytesOf(values));
    EXPECT_TRUE(plug->componentHandler().restarts().empty());
}

} // namespace
