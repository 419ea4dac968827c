// The VST 3 base classes (SingleComponentEffect, CPluginFactory) and the host library
// together: the test module's bundle is opened, described and driven the way a host does.

#include "TestModuleIds.h"

#include "Module.h"
#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "ProcessBuffers.h"
#include "Utf16Text.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::host;
using namespace halvane::testmodule;

namespace {

// Mirror of the split effect's parameter ids (its header reads the SDK's controller headers
// in their plain form, which this file does too).
constexpr ParamID kSplitLevelId = 1;
constexpr ParamID kSplitConnectedId = 2;

ClassId idOf(const TUID tuid) {
    ClassId cid;
    std::memcpy(cid.data(), tuid, cid.size());
    return cid;
}

std::vector<char> bytesOf(double value) {
    std::vector<char> bytes(sizeof(value));
    std::memcpy(bytes.data(), &value, sizeof(value));
    return bytes;
}

template <typename Interface> IPtr<Interface> queryFrom(FUnknown* object) {
    void* obj = nullptr;
    if (object && object->queryInterface(Interface::iid, &obj) == kResultOk)
        return owned(static_cast<Interface*>(obj));
    return nullptr;
}

class TestModule : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        module = Module::open(HALVANE_TEST_MODULE_BUNDLE, error);
        ASSERT_NE(module, nullptr) << error;
    }

    std::unique_ptr<PluginInstance> create(const TUID cid,
                                           const std::string& hostName = "Halvane Test Host") {
        std::string error;
        auto instance = PluginInstance::create(module, idOf(cid), hostName, error);
        EXPECT_NE(instance, nullptr) << error;
        return instance;
    }

    std::shared_ptr<Module> module;
};

} // namespace

TEST_F(TestModule, FactoryDescribesItselfAndEveryClass) {
    PFactoryInfo factoryInfo;
    ASSERT_TRUE(module->factoryInfo(factoryInfo));
    EXPECT_STREQ(factoryInfo.vendor, kVendor);
    EXPECT_STREQ(factoryInfo.url, kUrl);
    EXPECT_STREQ(factoryInfo.email, kEmail);
    EXPECT_EQ(factoryInfo.flags, PFactoryInfo::kUnicode);

    const std::vector<ClassInfo> classes = module->classes();
    ASSERT_EQ(classes.size(), 5u);

    const ClassInfo& gain = classes[0];
    EXPECT_EQ(gain.cid, idOf(kGainClassId));
    EXPECT_EQ(gain.infoVersion, 3);
    EXPECT_EQ(gain.cardinality, PClassInfo::kManyInstances);
    EXPECT_EQ(gain.category, "Audio Module Class");
    EXPECT_EQ(gain.name, "Test Gain");
    EXPECT_EQ(gain.classFlags, 2u);
    EXPECT_EQ(gain.subCategories, "Fx|Tools");
    EXPECT_EQ(gain.vendor, "");
    EXPECT_EQ(gain.version, "1.2.3");
    EXPECT_EQ(gain.sdkVersion, "VST 3.6.5");

    // Registered in unicode: the 8-bit description is its UTF-8 form.
    EXPECT_EQ(classes[1].name, "T\xC3\xABst \xC3\x9Cnicode \xF0\x9F\x8E\x9B");
    PClassInfo2 info2;
    ASSERT_EQ(module->factory2()->getClassInfo2(1, &info2), kResultOk);
    EXPECT_STREQ(info2.name, "T\xC3\xABst \xC3\x9Cnicode \xF0\x9F\x8E\x9B");
    EXPECT_STREQ(info2.vendor, "V\xC3\xB6rkesh");
    EXPECT_STREQ(info2.version, "2.0");

    // Registered in 8 bits: the unicode description is its UTF-16 form.
    PClassInfoW infoW;
    ASSERT_EQ(module->factory3()->getClassInfoUnicode(0, &infoW), kResultOk);
    EXPECT_EQ(halvane::String16(infoW.name), halvane::utf8ToUtf16("Test Gain"));
    EXPECT_EQ(halvane::String16(infoW.sdkVersion), halvane::utf8ToUtf16("VST 3.6.5"));

    // Registered with the oldest description: the newer fields stay empty.
    EXPECT_EQ(classes[2].category, "Test Failing");
    EXPECT_EQ(classes[2].name, "Failing");
    EXPECT_EQ(classes[2].cardinality, 1);
    EXPECT_EQ(classes[2].classFlags, 0u);
    EXPECT_EQ(classes[2].version, "");

    EXPECT_EQ(classes[4].category, "Component Controller Class");
}

TEST_F(TestModule, FactoryChecksIndicesAndPointers) {
    PClassInfo info;
    PClassInfo2 info2;
    PClassInfoW infoW;
    EXPECT_EQ(module->factory()->getClassInfo(5, &info), kInvalidArgument);
    EXPECT_EQ(module->factory()->getClassInfo(-1, &info), kInvalidArgument);
    EXPECT_EQ(module->factory()->getClassInfo(0, nullptr), kInvalidArgument);
    EXPECT_EQ(module->factory2()->getClassInfo2(5, &info2), kInvalidArgument);
    EXPECT_EQ(module->factory3()->getClassInfoUnicode(-1, &infoW), kInvalidArgument);
    EXPECT_EQ(module->factory()->getFactoryInfo(nullptr), kInvalidArgument);
}

TEST_F(TestModule, CreateInstanceMatchesClassIdAndInterface) {
    IPluginFactory* factory = module->factory();
    void* obj = &obj;

    const TUID unknownClass = INLINE_UID(0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);
    EXPECT_EQ(factory->createInstance(unknownClass, IComponent::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    obj = &obj;
    EXPECT_EQ(factory->createInstance(kGainClassId, IPluginFactory::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    obj = &obj;
    EXPECT_EQ(factory->createInstance(kFailingClassId, IComponent::iid, &obj), kOutOfMemory);
    EXPECT_EQ(obj, nullptr);

    EXPECT_EQ(factory->createInstance(kGainClassId, IComponent::iid, nullptr), kInvalidArgument);
    EXPECT_EQ(factory->createInstance(nullptr, IComponent::iid, &obj), kInvalidArgument);

    ASSERT_EQ(factory->createInstance(kUnicodeClassId, IComponent::iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(static_cast<IComponent*>(obj)->release(), 0u);
}

TEST_F(TestModule, OneObjectIsComponentProcessorAndController) {
    void* obj = nullptr;
    ASSERT_EQ(module->factory()->createInstance(kGainClassId, IAudioProcessor::iid, &obj), kResultOk);
    IPtr<IAudioProcessor> processor = owned(static_cast<IAudioProcessor*>(obj));

    auto component = queryFrom<IComponent>(processor);
    auto controller = queryFrom<IEditController>(processor);
    ASSERT_TRUE(component);
    ASSERT_TRUE(controller);
    EXPECT_TRUE(queryFrom<IEditController2>(processor));
    EXPECT_TRUE(queryFrom<IUnitInfo>(component));
    EXPECT_TRUE(queryFrom<IConnectionPoint>(controller));
    EXPECT_TRUE(queryFrom<IPluginBase>(controller));
    EXPECT_EQ(queryFrom<FUnknown>(component).get(), queryFrom<FUnknown>(controller).get());

    // One reference count behind every interface.
    const uint32 count = component->addRef();
    EXPECT_EQ(controller->addRef(), count + 1);
    EXPECT_EQ(processor->release(), count);
    EXPECT_EQ(component->release(), count - 1);

    TUID controllerId = {};
    EXPECT_EQ(component->getControllerClassId(controllerId), kResultFalse);
}

TEST_F(TestModule, InitializeOnlyOnceAndHostNameReachesThePlugin) {
    auto instance = create(kGainClassId, "Halvane Test Host");
    ASSERT_TRUE(instance);
    EXPECT_FALSE(instance->hasSeparateController());
    EXPECT_EQ(instance->component()->initialize(static_cast<IHostApplication*>(&instance->hostApplication())),
              kResultFalse);

    IUnitInfo* units = instance->unitInfo();
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->getUnitCount(), 2);
    UnitInfo unit{};
    ASSERT_EQ(units->getUnitInfo(1, unit), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(unit.name, 128), "Halvane Test Host");
    // Beyond the list: the SDK's own unit list would throw here.
    EXPECT_EQ(units->getUnitInfo(2, unit), kResultFalse);
    EXPECT_EQ(units->getUnitInfo(-1, unit), kResultFalse);

    // A name too long for the 128-character field arrives cut, terminated.
    auto longNamed = create(kGainClassId, std::string(200, 'x'));
    ASSERT_TRUE(longNamed);
    ASSERT_EQ(longNamed->unitInfo()->getUnitInfo(1, unit), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(unit.name, 128), std::string(127, 'x'));
}

TEST_F(TestModule, ControllerStateMovesNoBytesComponentStateIsThePlugins) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    ASSERT_EQ(instance->loadState(bytesOf(1.5)), kResultOk);
    ASSERT_EQ(instance->componentHandler().restarts(), std::vector<int32>{kParamValuesChanged});

    auto controllerOut = owned(new BufferStream());
    EXPECT_EQ(instance->controller()->getState(controllerOut), kResultOk);
    EXPECT_TRUE(controllerOut->bytes().empty());

    auto controllerIn = owned(new BufferStream(bytesOf(0.1)));
    EXPECT_EQ(instance->controller()->setState(controllerIn), kResultOk);
    EXPECT_EQ(controllerIn->position(), 0);

    std::vector<char> saved;
    ASSERT_EQ(instance->saveState(saved), kResultOk);
    EXPECT_EQ(saved, bytesOf(1.5));
    EXPECT_EQ(instance->controller()->getParamNormalized(kGainId), 0.75);

    EXPECT_EQ(instance->loadState({1, 2, 3}), kResultFalse);
}

TEST_F(TestModule, BusesAnswerAndCheckHostIndices) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    IComponent* component = instance->component();
    IAudioProcessor* processor = instance->processor();

    EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(component->getBusCount(7, kInput), 0);
    EXPECT_EQ(component->getBusCount(kAudio, 5), 0);

    BusInfo info{};
    ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(info.mediaType, kAudio);
    EXPECT_EQ(info.direction, kOutput);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(halvane::utf16ToUtf8(info.name, 128), "Stereo Out");
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
    ASSERT_EQ(component->getBusInfo(kAudio, kInput, 0, info), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(info.name, 128), "Stereo In");
    EXPECT_EQ(info.direction, kInput);
    EXPECT_EQ(component->getBusInfo(kAudio, kInput, 1, info), kInvalidArgument);
    EXPECT_EQ(component->getBusInfo(kAudio, kInput, -1, info), kInvalidArgument);
    EXPECT_EQ(component->getBusInfo(kEvent, kInput, 0, info), kInvalidArgument);

    EXPECT_EQ(component->activateBus(kAudio, kOutput, 1, true), kInvalidArgument);
    EXPECT_EQ(component->activateBus(kAudio, 9, 0, true), kInvalidArgument);
    EXPECT_EQ(instance->activateDefaultBuses(), kResultOk);

    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(processor->getBusArrangement(kOutput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    EXPECT_EQ(processor->getBusArrangement(kOutput, 1, arrangement), kInvalidArgument);
    EXPECT_EQ(processor->getBusArrangement(3, 0, arrangement), kInvalidArgument);

    // The default takes one arrangement per bus and nothing else.
    SpeakerArrangement mono[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
    EXPECT_EQ(processor->setBusArrangements(mono, 2, mono, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 1, mono, 1), kInvalidArgument);
    EXPECT_EQ(processor->setBusArrangements(mono, -1, mono, 1), kInvalidArgument);
    ASSERT_EQ(processor->setBusArrangements(mono, 1, mono, 1), kResultOk);
    ASSERT_EQ(processor->getBusArrangement(kInput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, SpeakerArr::kMono);
    ASSERT_EQ(component->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(info.channelCount, 1);

    RoutingInfo in{}, out{};
    EXPECT_EQ(component->getRoutingInfo(in, out), kNotImplemented);
}

TEST_F(TestModule, ProcessingSetupDefaults) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    IAudioProcessor* processor = instance->processor();
    EXPECT_EQ(processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(2), kResultFalse);
    EXPECT_EQ(instance->setupProcessing(48000.0, 512, 2), kResultFalse);
    EXPECT_EQ(instance->setupProcessing(48000.0, 512, kSample64), kResultOk);
    EXPECT_EQ(processor->getLatencySamples(), 0u);
    EXPECT_EQ(processor->getTailSamples(), kNoTail);
    EXPECT_EQ(instance->setProcessing(true), kNotImplemented);
}

TEST_F(TestModule, ProcessesBothSampleSizesWithTheLastQueuedValue) {
    for (int32 sampleSize : {kSample32, kSample64}) {
        SCOPED_TRACE(sampleSize);
        auto instance = create(kGainClassId);
        ASSERT_TRUE(instance);
        ASSERT_EQ(instance->activateDefaultBuses(), kResultOk);
        ASSERT_EQ(instance->setupProcessing(44100.0, 64, sampleSize), kResultOk);
        ASSERT_EQ(instance->setActive(true), kResultOk);
        instance->setProcessing(true);

        const int32 frames = 64;
        ProcessBuffers buffers(sampleSize, frames);
        for (int32 c = 0; c < 2; ++c) {
            for (int32 i = 0; i < frames; ++i) {
                const double x = (c == 0 ? 1.0 : -1.0) * i / 64.0;
                if (sampleSize == kSample64)
                    buffers.channel64(kInput, 0, c)[i] = x;
                else
                    buffers.channel32(kInput, 0, c)[i] = static_cast<float>(x);
            }
        }
        auto changes = owned(new ParameterChanges());
        changes->addChange(kGainId, 0, 0.1);
        changes->addChange(kGainId, 5, 0.9);
        changes->addChange(kGainId, 10, 0.25); // gain 0.5
        ASSERT_EQ(instance->process(buffers.prepare(frames, changes)), kResultOk);

        for (int32 c = 0; c < 2; ++c) {
            for (int32 i = 0; i < frames; ++i) {
                const double expected = (c == 0 ? 0.5 : -0.5) * i / 64.0;
                const double actual = sampleSize == kSample64 ? buffers.channel64(kOutput, 0, c)[i]
                                                              : buffers.channel32(kOutput, 0, c)[i];
                ASSERT_EQ(actual, expected) << "channel " << c << " frame " << i;
            }
        }
    }
}

TEST_F(TestModule, MonoBlockAfterMonoArrangement) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    SpeakerArrangement mono = SpeakerArr::kMono;
    ASSERT_EQ(instance->processor()->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
    ASSERT_EQ(instance->setupProcessing(48000.0, 16, kSample32), kResultOk);
    ASSERT_EQ(instance->setActive(true), kResultOk);

    ProcessBuffers buffers(kSample32, 16, {1}, {1});
    buffers.channel32(kInput, 0, 0)[3] = 0.75f;
    ASSERT_EQ(instance->process(buffers.prepare(16)), kResultOk);
    EXPECT_EQ(buffers.channel32(kOutput, 0, 0)[3], 0.75f);
}

TEST_F(TestModule, ControllerChecksHostIndicesPointersAndValues) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    IEditController* controller = instance->controller();

    ASSERT_EQ(controller->getParameterCount(), 2);
    ParameterInfo info{};
    EXPECT_EQ(controller->getParameterInfo(2, info), kResultFalse);
    EXPECT_EQ(controller->getParameterInfo(-1, info), kResultFalse);
    ParameterInfo gain{};
    ASSERT_TRUE(instance->findParameter("Gain", gain));
    EXPECT_EQ(gain.id, kGainId);

    // A list parameter indexes its texts with the value: out-of-range values are clamped.
    String128 text = {};
    ASSERT_EQ(controller->getParamStringByValue(kModeId, -1.0, text), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(text, 128), "A");
    ASSERT_EQ(controller->getParamStringByValue(kModeId, std::numeric_limits<double>::quiet_NaN(), text),
              kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(text, 128), "A");
    ASSERT_EQ(controller->getParamStringByValue(kModeId, 7.0, text), kResultOk);
    EXPECT_EQ(halvane::utf16ToUtf8(text, 128), "C");
    EXPECT_EQ(controller->getParamStringByValue(kModeId, 0.5, nullptr), kInvalidArgument);

    ParamValue value = -1.0;
    EXPECT_EQ(controller->getParamValueByString(kModeId, nullptr, value), kInvalidArgument);
    halvane::String16 b = halvane::utf8ToUtf16("B");
    ASSERT_EQ(controller->getParamValueByString(kModeId, b.data(), value), kResultOk);
    EXPECT_EQ(value, 0.5);

    EXPECT_EQ(instance->unitInfo()->getProgramName(0, 0, nullptr), kInvalidArgument);
}

TEST_F(TestModule, SeparateControllerIsCreatedConnectedAndGivenTheComponentState) {
    auto instance = create(kSplitComponentClassId);
    ASSERT_TRUE(instance);
    EXPECT_TRUE(instance->hasSeparateController());
    ASSERT_NE(instance->controller(), nullptr);
    EXPECT_EQ(instance->controller()->getParamNormalized(kSplitLevelId), 0.25);
    EXPECT_EQ(instance->controller()->getParamNormalized(kSplitConnectedId), 1.0);
    EXPECT_EQ(instance->unitInfo(), nullptr);
}

TEST_F(TestModule, InstanceKeepsItsModuleLoaded) {
    auto instance = create(kGainClassId);
    ASSERT_TRUE(instance);
    module.reset();
    ASSERT_EQ(instance->setupProcessing(48000.0, 8, kSample32), kResultOk);
    ProcessBuffers buffers(kSample32, 8);
    buffers.channel32(kInput, 0, 1)[0] = 0.5f;
    EXPECT_EQ(instance->process(buffers.prepare(8)), kResultOk);
    EXPECT_EQ(buffers.channel32(kOutput, 0, 1)[0], 0.5f);
    EXPECT_EQ(instance->module().classes().size(), 5u);
}

TEST_F(TestModule, SecondOpenSharesTheFactoryAndOutlivesTheFirst) {
    std::string error;
    auto second = Module::open(HALVANE_TEST_MODULE_BUNDLE, error);
    ASSERT_NE(second, nullptr) << error;
    EXPECT_EQ(second->factory(), module->factory());
    module.reset();
    EXPECT_EQ(second->classes().size(), 5u);
    auto instance = PluginInstance::create(second, idOf(kGainClassId), "host", error);
    EXPECT_NE(instance, nullptr) << error;
}
