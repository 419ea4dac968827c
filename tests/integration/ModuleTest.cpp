// The Halvane module as a host first meets it: its exports, the factory's description of
// itself and of its one class, the class id, and the objects createInstance hands out.

#include "HalvaneHost.h"
#include "PlatformLibrary.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <cstdio>
#include <set>
#include <sstream>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;

namespace {

template <typename Interface> IPtr<Interface> queryFrom(FUnknown* object) {
    void* obj = nullptr;
    if (object && object->queryInterface(Interface::iid, &obj) == kResultOk && obj)
        return owned(static_cast<Interface*>(obj));
    return nullptr;
}

class HalvaneModule : public HalvaneFixture {};

} // namespace

TEST_F(HalvaneModule, FactoryDescribesTheMakerAndOneEffectClass) {
    PFactoryInfo factory;
    ASSERT_TRUE(module()->factoryInfo(factory));
    EXPECT_STREQ(factory.vendor, "Vorkesh");
    EXPECT_STRNE(factory.url, "");
    EXPECT_STREQ(factory.email, "");
    EXPECT_EQ(factory.flags, 16);

    ASSERT_EQ(module()->factory()->countClasses(), 1);
    const std::vector<halvane::host::ClassInfo> classes = module()->classes();
    ASSERT_EQ(classes.size(), 1u);
    const halvane::host::ClassInfo& effect = classes[0];
    EXPECT_GE(effect.infoVersion, 2);
    EXPECT_EQ(effect.cardinality, 0x7FFFFFFF);
    EXPECT_EQ(effect.category, "Audio Module Class");
    EXPECT_EQ(effect.name, "Halvane");
    EXPECT_EQ(effect.classFlags, 2u);
    EXPECT_EQ(effect.subCategories, "Fx");
    EXPECT_EQ(effect.vendor, "");
    EXPECT_EQ(effect.version, "2.1.0");
    EXPECT_EQ(effect.sdkVersion, "VST 3.6.5");

    // The 8-bit descriptions say the same as the richest one.
    PClassInfo info;
    ASSERT_EQ(module()->factory()->getClassInfo(0, &info), kResultOk);
    EXPECT_STREQ(info.name, "Halvane");
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_EQ(std::memcmp(info.cid, effect.cid.data(), 16), 0);
    ASSERT_NE(module()->factory2(), nullptr);
    PClassInfo2 info2;
    ASSERT_EQ(module()->factory2()->getClassInfo2(0, &info2), kResultOk);
    EXPECT_STREQ(info2.subCategories, "Fx");
    EXPECT_STREQ(info2.version, "2.1.0");
    EXPECT_STREQ(info2.sdkVersion, "VST 3.6.5");
    EXPECT_EQ(module()->factory()->getClassInfo(1, &info), kInvalidArgument);
}

TEST_F(HalvaneModule, ClassIdPrintsTheSameOnEveryPlatform) {
    const halvane::host::ClassInfo effect = module()->classes().at(0);
    EXPECT_EQ(halvane::host::classIdString(effect.cid), "F2AEE70D00DE4F4E56726B7372737778");

#if defined(_WIN32)
    const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                        'V',  'r',  'k',  's',  'r',  's',  'w',  'x'};
#else
    const unsigned char expected[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                        'V',  'r',  'k',  's',  'r',  's',  'w',  'x'};
#endif
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(static_cast<unsigned char>(effect.cid[i]), expected[i]) << "byte " << i;
}

TEST_F(HalvaneModule, GetPluginFactoryHandsOutOneFactoryWithAReferenceEachTime) {
    std::string error;
    void* library = halvane::host::platform::openLibrary(module()->binaryPath(), error);
    ASSERT_NE(library, nullptr) << error;
    auto getFactory =
        reinterpret_cast<GetFactoryProc>(halvane::host::platform::findSymbol(library, "GetPluginFactory"));
    ASSERT_NE(getFactory, nullptr);

    IPluginFactory* first = getFactory();
    const uint32 before = first->addRef();
    first->release();
    IPluginFactory* second = getFactory();
    EXPECT_EQ(second, first);
    EXPECT_EQ(second, module()->factory());
    EXPECT_EQ(first->addRef(), before + 1);
    first->release();

    second->release();
    first->release();
    halvane::host::platform::closeLibrary(library);
}

TEST_F(HalvaneModule, ExportsOnlyTheHostEntryPoints) {
#if defined(_WIN32)
    GTEST_SKIP() << "nm reads ELF symbol tables only";
#else
    const std::string command = "nm -D --defined-only '" + module()->binaryPath() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        GTEST_SKIP() << "cannot run nm";
    std::set<std::string> exported;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        // "<address> <type> <name>"; absolute symbols name version nodes, not code.
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name && type != "A")
            exported.insert(name.substr(0, name.find('@')));
    }
    const int status = pclose(pipe);
    if (status != 0 && exported.empty())
        GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(exported, (std::set<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit"}));
#endif
}

TEST_F(HalvaneModule, CreateInstanceGivesOneObjectBehindEveryInterface) {
    const halvane::host::ClassInfo effect = module()->classes().at(0);
    TUID cid;
    std::memcpy(cid, effect.cid.data(), sizeof cid);
    IPluginFactory* factory = module()->factory();

    void* obj = &obj;
    const TUID other = INLINE_UID(0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);
    EXPECT_NE(factory->createInstance(other, IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    for (const FUID* iid : {&FUnknown::iid, &IAudioProcessor::iid, &IComponent::iid, &IEditController::iid}) {
        obj = nullptr;
        ASSERT_EQ(factory->createInstance(cid, *iid, &obj), kResultOk);
        ASSERT_NE(obj, nullptr);
        IPtr<FUnknown> unknown = owned(static_cast<FUnknown*>(obj));
        auto component = queryFrom<IComponent>(unknown);
        auto processor = queryFrom<IAudioProcessor>(unknown);
        auto controller = queryFrom<IEditController>(unknown);
        ASSERT_TRUE(component && processor && controller);
        EXPECT_TRUE(queryFrom<IEditController2>(unknown));
        EXPECT_TRUE(queryFrom<IUnitInfo>(unknown));
        EXPECT_EQ(queryFrom<FUnknown>(component).get(), queryFrom<FUnknown>(controller).get());
        EXPECT_EQ(queryFrom<FUnknown>(processor).get(), queryFrom<FUnknown>(controller).get());
    }
}

TEST_F(HalvaneModule, EveryInstanceIsItsOwn) {
    auto a = start();
    auto b = start();
    ASSERT_TRUE(a && b);
    apply(*a, kSample64, {{kPreDelay, 0.5}});
    EXPECT_EQ(stateValues(*a).at(kPreDelay), 500.0);
    EXPECT_EQ(stateValues(*b).at(kPreDelay), 20.0);
}
