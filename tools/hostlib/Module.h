#pragma once

// A VST 3 module opened the way a host opens it: bundle -> binary, load, module entry,
// GetPluginFactory. Closing (the destructor) releases the factory, calls the module's exit
// function and unloads the binary. Instances keep their module alive (shared ownership).

#include "pluginterfaces/base/ipluginbase.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace halvane::host {

using ClassId = std::array<Steinberg::int8, 16>;

// One class as the factory describes it, in the richest form it offers.
struct ClassInfo {
    ClassId cid{};
    Steinberg::int32 cardinality = 0;
    std::string category;
    std::string name; // UTF-8
    // The fields below are empty/zero when the factory offers only PClassInfo.
    Steinberg::uint32 classFlags = 0;
    std::string subCategories;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
    // 1: PClassInfo, 2: PClassInfo2, 3: PClassInfoW.
    int infoVersion = 1;
};

// The class id as hosts print it: 32 hex digits (the SDK's FUID::toString).
std::string classIdString(const ClassId& cid);

class Module {
  public:
    // path: a bundle folder (.../Name.vst3) or a module binary itself. Null on failure, with
    // the reason in error.
    static std::shared_ptr<Module> open(const std::string& path, std::string& error);
    // The factory of a module linked into this program (its GetPluginFactory called in-process), so
    // instances are set up exactly as for a loaded one. Takes over the reference; null for null.
    static std::shared_ptr<Module> linked(Steinberg::IPluginFactory* factory, const std::string& name);

    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& path() const { return path_; }
    const std::string& binaryPath() const { return binaryPath_; }

    // Borrowed pointers, valid while the module lives; factory2/factory3 are null when the
    // factory does not offer them.
    Steinberg::IPluginFactory* factory() const { return factory_; }
    Steinberg::IPluginFactory2* factory2() const { return factory2_; }
    Steinberg::IPluginFactory3* factory3() const { return factory3_; }

    bool factoryInfo(Steinberg::PFactoryInfo& info) const;
    std::vector<ClassInfo> classes() const;
    // The first class of the given category ("Audio Module Class" for effects).
    bool findClass(const std::string& category, ClassInfo& found) const;

  private:
    Module() = default;

    std::string path_;
    std::string binaryPath_;
    void* library_ = nullptr;
    Steinberg::IPluginFactory* factory_ = nullptr;
    Steinberg::IPluginFactory2* factory2_ = nullptr;
    Steinberg::IPluginFactory3* factory3_ = nullptr;
};

// Where a bundle keeps its binary on this platform (no check that it exists).
std::string bundleBinaryPath(const std::string& bundlePath);

} // namespace halvane::host
