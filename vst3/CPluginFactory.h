#pragma once

// The module's class factory. The packaged SDK lacks this class; ours keeps its name and
// role: classes are registered with a creation function, described to the host in 8-bit
// and unicode form, and created by class id.

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <vector>

namespace Steinberg {

class CPluginFactory : public IPluginFactory3 {
  public:
    // Returns a new object with one reference, or null; the factory queries it for the
    // interface the host asked for and drops that first reference.
    using CreateFunc = FUnknown* (*)(void* context);

    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    // False for a null argument or a class id already registered. The unicode and 8-bit
    // descriptions are derived from each other (UTF-8 for the 8-bit texts).
    bool registerClass(const PClassInfo* info, CreateFunc createFunc, void* context = nullptr);
    bool registerClass(const PClassInfo2* info, CreateFunc createFunc, void* context = nullptr);
    bool registerClass(const PClassInfoW* info, CreateFunc createFunc, void* context = nullptr);
    bool isClassRegistered(const FUID& cid) const;

    //--- FUnknown
    tresult PLUGIN_API queryInterface(const TUID interfaceId, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
    uint32 PLUGIN_API release() SMTG_OVERRIDE;

    //--- IPluginFactory
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    // kNoInterface for an unknown class id or an interface the object lacks (obj is then
    // null); kOutOfMemory when the creation function fails.
    tresult PLUGIN_API createInstance(FIDString cid, FIDString interfaceId, void** obj) SMTG_OVERRIDE;

    //--- IPluginFactory2
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;

    //--- IPluginFactory3
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    // The factory needs nothing from the host.
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

  private:
    struct ClassEntry {
        PClassInfo2 info8;
        PClassInfoW info16;
        CreateFunc createFunc;
        void* context;
    };

    bool addEntry(const ClassEntry& entry);
    const ClassEntry* entryAt(int32 index) const;

    std::atomic<int32> refCount{1};
    PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classes;
};

// The module's factory while it exists (the SDK's convention: GetPluginFactory creates it once
// and hands out references; the destructor clears this pointer).
extern CPluginFactory* gPluginFactory;

} // namespace Steinberg
