// The module's exports: the class factory and the entry points hosts call around it.

#include "CPluginFactory.h"
#include "IPlugVST3.h"
#include "ModuleHandle.h"
#include "PlugModule.h"
#include "RecursiveLock.h"

#include <cstring>
#include <new>

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace Steinberg;

namespace {

void CopyField(char8* destination, const char* source, size_t size) {
    std::memset(destination, 0, size);
    if (source)
        std::strncpy(destination, source, size - 1);
}

// Instances are never constructed at the same time.
RecursiveLock& ConstructionLock() {
    static RecursiveLock lock;
    return lock;
}

FUnknown* CreateInstance(void*) {
    LockGuard guard(ConstructionLock());
    try {
        IPlugVST3* plug = CreatePlugInstance();
        return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

} // namespace

extern "C" {

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
    if (gPluginFactory) {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    const PlugClassDescription& d = ModuleClassDescription();

    PFactoryInfo factoryInfo;
    CopyField(factoryInfo.vendor, d.vendor, PFactoryInfo::kNameSize);
    CopyField(factoryInfo.url, d.url, PFactoryInfo::kURLSize);
    CopyField(factoryInfo.email, d.email, PFactoryInfo::kEmailSize);
    factoryInfo.flags = PFactoryInfo::kUnicode;
    auto* factory = new (std::nothrow) CPluginFactory(factoryInfo);
    if (!factory)
        return nullptr;
    gPluginFactory = factory;

    PClassInfo2 classInfo; // its constructor clears every field
    const TUID cid = INLINE_UID(d.classIdWords[0], d.classIdWords[1], d.classIdWords[2], d.classIdWords[3]);
    std::memcpy(classInfo.cid, cid, sizeof(TUID));
    classInfo.cardinality = PClassInfo::kManyInstances;
    CopyField(classInfo.category, kVstAudioEffectClass, PClassInfo::kCategorySize);
    CopyField(classInfo.name, d.name, PClassInfo::kNameSize);
    classInfo.classFlags = Vst::kSimpleModeSupported;
    CopyField(classInfo.subCategories, Vst::PlugType::kFx, PClassInfo2::kSubCategoriesSize);
    CopyField(classInfo.vendor, "", PClassInfo2::kVendorSize);
    CopyField(classInfo.version, d.version, PClassInfo2::kVersionSize);
    CopyField(classInfo.sdkVersion, d.sdkVersion, PClassInfo2::kVersionSize);
    factory->registerClass(&classInfo, CreateInstance);
    return factory;
}

#if defined(_WIN32)
// Recorded when Windows maps the module; InitDll makes it the handle resources are loaded from.
static HINSTANCE gDllInstance = nullptr;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        gDllInstance = instance;
    return TRUE;
}

SMTG_EXPORT_SYMBOL bool InitDll() {
    SetModuleHandle(gDllInstance);
    return true;
}

SMTG_EXPORT_SYMBOL bool ExitDll() {
    return true;
}
#else
// What Linux hosts call right after loading the module, with its handle.
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle) {
    SetModuleHandle(sharedLibraryHandle);
    return true;
}

SMTG_EXPORT_SYMBOL bool ModuleExit() {
    return true;
}
#endif

} // extern "C"
