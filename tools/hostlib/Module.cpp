#include "Module.h"

#include "PlatformLibrary.h"
#include "Utf16Text.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

namespace halvane::host {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

template <size_t N> std::string fieldText(const char8 (&text)[N]) {
    return std::string(text, std::find(text, text + N, '\0'));
}

template <size_t N> std::string fieldText(const char16 (&text)[N]) {
    return utf16ToUtf8(text, static_cast<int32>(N));
}

template <typename Info> void copyId(const Info& info, ClassId& cid) {
    std::memcpy(cid.data(), info.cid, cid.size());
}

// PClassInfo2 and PClassInfoW carry the same fields, in 8-bit and in UTF-16 text.
template <typename Info> void copyExtendedInfo(const Info& from, ClassInfo& to) {
    copyId(from, to.cid);
    to.cardinality = from.cardinality;
    to.category = fieldText(from.category);
    to.name = fieldText(from.name);
    to.classFlags = from.classFlags;
    to.subCategories = fieldText(from.subCategories);
    to.vendor = fieldText(from.vendor);
    to.version = fieldText(from.version);
    to.sdkVersion = fieldText(from.sdkVersion);
}

} // namespace

std::string classIdString(const ClassId& cid) {
    TUID tuid;
    std::memcpy(tuid, cid.data(), sizeof(TUID));
    char8 text[33] = {};
    FUID::fromTUID(tuid).toString(text);
    return text;
}

std::string bundleBinaryPath(const std::string& bundlePath) {
    std::string bundle = bundlePath;
    while (bundle.size() > 1 && isSeparator(bundle.back()))
        bundle.pop_back();
    size_t start = bundle.size();
    while (start > 0 && !isSeparator(bundle[start - 1]))
        --start;
    std::string name = bundle.substr(start);
    const std::string extension = ".vst3";
    if (name.size() > extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        name.resize(name.size() - extension.size());
    return bundle + "/Contents/" + platform::kBundleArchFolder + "/" + name + platform::kBinarySuffix;
}

std::shared_ptr<Module> Module::open(const std::string& path, std::string& error) {
    const std::string binary = platform::isFile(path) ? path : bundleBinaryPath(path);
    if (!platform::isFile(binary)) {
        error = "no module binary at " + binary;
        return nullptr;
    }

    void* library = platform::openLibrary(binary, error);
    if (!library)
        return nullptr;
    if (!platform::enterModule(library, error)) {
        platform::closeLibrary(library);
        return nullptr;
    }

    auto getFactory = reinterpret_cast<GetFactoryProc>(platform::findSymbol(library, "GetPluginFactory"));
    IPluginFactory* factory = getFactory ? getFactory() : nullptr;
    if (!factory) {
        error = getFactory ? "GetPluginFactory returned no factory"
                           : "the module does not export GetPluginFactory";
        platform::exitModule(library);
        platform::closeLibrary(library);
        return nullptr;
    }

    std::shared_ptr<Module> module = linked(factory, path);
    module->binaryPath_ = binary;
    module->library_ = library;
    return module;
}

std::shared_ptr<Module> Module::linked(IPluginFactory* factory, const std::string& name) {
    if (!factory)
        return nullptr;
    std::shared_ptr<Module> module(new Module());
    module->path_ = name;
    module->factory_ = factory;
    void* queried = nullptr;
    if (factory->queryInterface(IPluginFactory2::iid, &queried) == kResultOk)
        module->factory2_ = static_cast<IPluginFactory2*>(queried);
    queried = nullptr;
    if (factory->queryInterface(IPluginFactory3::iid, &queried) == kResultOk)
        module->factory3_ = static_cast<IPluginFactory3*>(queried);
    return module;
}

Module::~Module() {
    if (factory3_)
        factory3_->release();
    if (factory2_)
        factory2_->release();
    if (factory_)
        factory_->release();
    if (library_) {
        platform::exitModule(library_);
        platform::closeLibrary(library_);
    }
}

bool Module::factoryInfo(PFactoryInfo& info) const {
    return factory_->getFactoryInfo(&info) == kResultOk;
}

std::vector<ClassInfo> Module::classes() const {
    std::vector<ClassInfo> result;
    const int32 count = factory_->countClasses();
    for (int32 i = 0; i < count; ++i) {
        ClassInfo info;
        PClassInfoW infoW;
        PClassInfo2 info2;
        PClassInfo info1;
        if (factory3_ && factory3_->getClassInfoUnicode(i, &infoW) == kResultOk) {
            copyExtendedInfo(infoW, info);
            info.infoVersion = 3;
        } else if (factory2_ && factory2_->getClassInfo2(i, &info2) == kResultOk) {
            copyExtendedInfo(info2, info);
            info.infoVersion = 2;
        } else if (factory_->getClassInfo(i, &info1) == kResultOk) {
            copyId(info1, info.cid);
            info.cardinality = info1.cardinality;
            info.category = fieldText(info1.category);
            info.name = fieldText(info1.name);
        } else {
            continue;
        }
        result.push_back(std::move(info));
    }
    return result;
}

bool Module::findClass(const std::string& category, ClassInfo& found) const {
    for (const ClassInfo& info : classes()) {
        if (info.category == category) {
            found = info;
            return true;
        }
    }
    return false;
}

} // namespace halvane::host
