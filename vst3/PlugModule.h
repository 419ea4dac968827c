#pragma once

#include <cstdint>

class IPlugVST3;

// What the module's factory tells hosts about its one class. The effect linked into the module
// supplies it, together with the function that constructs an instance.
struct PlugClassDescription {
    const char* vendor;
    const char* url;
    const char* email;
    const char* name;
    const char* version;
    const char* sdkVersion;
    std::uint32_t classIdWords[4];
};

const PlugClassDescription& ModuleClassDescription();
// A new instance with one reference, or null when it cannot be made.
IPlugVST3* CreatePlugInstance();
