// The test module's exports: GetPluginFactory plus the module entry and exit a host calls on
// this platform. Nothing else is exported (the build hides every other symbol).

#include "CPluginFactory.h"
#include "SplitEffect.h"
#include "TestGainEffect.h"
#include "TestModuleIds.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

using namespace Steinberg;
using namespace halvane::testmodule;

namespace {

int entryCount = 0;

FUnknown* createNothing(void* /*context*/) {
    return nullptr;
}

void registerClasses(CPluginFactory& factory) {
    const PClassInfo2 gain(kGainClassId, PClassInfo::kManyInstances, kVstAudioEffectClass, "Test Gain",
                           Vst::kSimpleModeSupported, "Fx|Tools", "", "1.2.3", "VST 3.6.5");
    factory.registerClass(&gain, TestGainEffect::create);

    const PClassInfoW unicode(kUnicodeClassId, PClassInfo::kManyInstances, kVstAudioEffectClass,
                              STR16("T\u00ebst \u00dcnicode \U0001F39B"), 0, "Fx", STR16("V\u00f6rkesh"),
                              STR16("2.0"), STR16("VST 3.6.5"));
    factory.registerClass(&unicode, TestGainEffect::create);

    const PClassInfo failing(kFailingClassId, 1, "Test Failing", "Failing");
    factory.registerClass(&failing, createNothing);

    const PClassInfo2 splitComponent(kSplitComponentClassId, PClassInfo::kManyInstances, kVstAudioEffectClass,
                                     "Split", 0, "Fx", "", "1.0", "VST 3.6.5");
    factory.registerClass(&splitComponent, SplitComponent::create);
    const PClassInfo2 splitController(kSplitControllerClassId, PClassInfo::kManyInstances,
                                      kVstComponentControllerClass, "Split Controller", 0, "", "", "1.0",
                                      "VST 3.6.5");
    factory.registerClass(&splitController, SplitController::create);
}

} // namespace

extern "C" {

#if SMTG_OS_WINDOWS
SMTG_EXPORT_SYMBOL bool InitDll() {
    ++entryCount;
    return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll() {
    --entryCount;
    return true;
}
#else
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* /*handle*/) {
    ++entryCount;
    return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit() {
    --entryCount;
    return true;
}
#endif

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
    // A host enters the module first; refusing otherwise lets the tests see that ours does.
    if (entryCount <= 0)
        return nullptr;
    if (gPluginFactory) {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    const PFactoryInfo info(kVendor, kUrl, kEmail, PFactoryInfo::kUnicode);
    gPluginFactory = new CPluginFactory(info);
    registerClasses(*gPluginFactory);
    return gPluginFactory;
}

} // extern "C"
