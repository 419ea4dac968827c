#include "CPluginFactory.h"

#include "Utf16Text.h"

#include <cstring>
#include <new>

namespace Steinberg {

CPluginFactory* gPluginFactory = nullptr;

namespace {

PClassInfoW unicodeFrom(const PClassInfo2& info8) {
    PClassInfoW info16;
    std::memcpy(info16.cid, info8.cid, sizeof(TUID));
    info16.cardinality = info8.cardinality;
    strncpy8(info16.category, info8.category, PClassInfo::kCategorySize);
    halvane::utf8ToUtf16(info8.name, info16.name, PClassInfo::kNameSize);
    info16.classFlags = info8.classFlags;
    strncpy8(info16.subCategories, info8.subCategories, PClassInfoW::kSubCategoriesSize);
    halvane::utf8ToUtf16(info8.vendor, info16.vendor, PClassInfoW::kVendorSize);
    halvane::utf8ToUtf16(info8.version, info16.version, PClassInfoW::kVersionSize);
    halvane::utf8ToUtf16(info8.sdkVersion, info16.sdkVersion, PClassInfoW::kVersionSize);
    return info16;
}

PClassInfo2 asciiFrom(const PClassInfoW& info16) {
    PClassInfo2 info8;
    std::memcpy(info8.cid, info16.cid, sizeof(TUID));
    info8.cardinality = info16.cardinality;
    strncpy8(info8.category, info16.category, PClassInfo::kCategorySize);
    halvane::utf16ToUtf8(info16.name, info8.name, PClassInfo::kNameSize);
    info8.classFlags = info16.classFlags;
    strncpy8(info8.subCategories, info16.subCategories, PClassInfo2::kSubCategoriesSize);
    halvane::utf16ToUtf8(info16.vendor, info8.vendor, PClassInfo2::kVendorSize);
    halvane::utf16ToUtf8(info16.version, info8.version, PClassInfo2::kVersionSize);
    halvane::utf16ToUtf8(info16.sdkVersion, info8.sdkVersion, PClassInfo2::kVersionSize);
    return info8;
}

// The fixed-size text fields of the info structs might arrive without a terminating zero.
template <size_t N> void terminate(char8 (&text)[N]) {
    text[N - 1] = 0;
}
template <size_t N> void terminate(char16 (&text)[N]) {
    text[N - 1] = 0;
}

} // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {
    terminate(factoryInfo.vendor);
    terminate(factoryInfo.url);
    terminate(factoryInfo.email);
}

CPluginFactory::~CPluginFactory() {
    if (gPluginFactory == this)
        gPluginFactory = nullptr;
}

bool CPluginFactory::registerClass(const PClassInfo* info, CreateFunc createFunc, void* context) {
    if (!info)
        return false;
    PClassInfo2 info8;
    std::memcpy(info8.cid, info->cid, sizeof(TUID));
    info8.cardinality = info->cardinality;
    strncpy8(info8.category, info->category, PClassInfo::kCategorySize);
    strncpy8(info8.name, info->name, PClassInfo::kNameSize);
    return registerClass(&info8, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunc createFunc, void* context) {
    if (!info)
        return false;
    ClassEntry entry{*info, PClassInfoW(), createFunc, context};
    terminate(entry.info8.category);
    terminate(entry.info8.name);
    terminate(entry.info8.subCategories);
    terminate(entry.info8.vendor);
    terminate(entry.info8.version);
    terminate(entry.info8.sdkVersion);
    entry.info16 = unicodeFrom(entry.info8);
    return addEntry(entry);
}

bool CPluginFactory::registerClass(const PClassInfoW* info, CreateFunc createFunc, void* context) {
    if (!info)
        return false;
    ClassEntry entry{PClassInfo2(), *info, createFunc, context};
    terminate(entry.info16.category);
    terminate(entry.info16.name);
    terminate(entry.info16.subCategories);
    terminate(entry.info16.vendor);
    terminate(entry.info16.version);
    terminate(entry.info16.sdkVersion);
    entry.info8 = asciiFrom(entry.info16);
    return addEntry(entry);
}

bool CPluginFactory::addEntry(const ClassEntry& entry) {
    if (!entry.createFunc || isClassRegistered(FUID::fromTUID(entry.info8.cid)))
        return false;
    classes.push_back(entry);
    return true;
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const {
    for (const ClassEntry& entry : classes)
        if (FUnknownPrivate::iidEqual(entry.info8.cid, cid.toTUID()))
            return true;
    return false;
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const {
    if (index < 0 || index >= static_cast<int32>(classes.size()))
        return nullptr;
    return &classes[static_cast<size_t>(index)];
}

//--- FUnknown

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID interfaceId, void** obj) {
    if (!obj)
        return kInvalidArgument;
    if (interfaceId) {
        QUERY_INTERFACE(interfaceId, obj, FUnknown::iid, IPluginFactory)
        QUERY_INTERFACE(interfaceId, obj, IPluginFactory::iid, IPluginFactory)
        QUERY_INTERFACE(interfaceId, obj, IPluginFactory2::iid, IPluginFactory2)
        QUERY_INTERFACE(interfaceId, obj, IPluginFactory3::iid, IPluginFactory3)
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() {
    return static_cast<uint32>(++refCount);
}

uint32 PLUGIN_API CPluginFactory::release() {
    const int32 remaining = --refCount;
    if (remaining == 0)
        delete this;
    return static_cast<uint32>(remaining);
}

//--- IPluginFactory

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
    if (!info)
        return kInvalidArgument;
    *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() {
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    std::memcpy(info->cid, entry->info8.cid, sizeof(TUID));
    info->cardinality = entry->info8.cardinality;
    std::memcpy(info->category, entry->info8.category, sizeof(info->category));
    std::memcpy(info->name, entry->info8.name, sizeof(info->name));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj) {
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !interfaceId)
        return kInvalidArgument;

    const ClassEntry* found = nullptr;
    for (const ClassEntry& entry : classes)
        if (FUnknownPrivate::iidEqual(entry.info8.cid, cid)) {
            found = &entry;
            break;
        }
    if (!found)
        return kNoInterface;

    FUnknown* instance = nullptr;
    try {
        instance = found->createFunc(found->context);
    } catch (...) {
        // Nothing may cross the interface; the host just sees no object.
        instance = nullptr;
    }
    if (!instance)
        return kOutOfMemory;

    const tresult result = instance->queryInterface(interfaceId, obj);
    instance->release();
    if (result != kResultOk) {
        *obj = nullptr;
        return kNoInterface;
    }
    return kResultOk;
}

//--- IPluginFactory2

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = entry->info8;
    return kResultOk;
}

//--- IPluginFactory3

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
    const ClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = entry->info16;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/) {
    return kNotImplemented;
}

} // namespace Steinberg
