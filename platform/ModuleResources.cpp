#include "ModuleResources.h"

#include <cstring>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "ModuleHandle.h"

namespace {

// The module whose resources a null handle means: the one recorded by the module's entry point, or else
// the binary this code is linked into (a test program or tool), never the host's executable.
HMODULE DefaultModule() {
    if (void* recorded = GetModuleHandleForResources())
        return static_cast<HMODULE>(recorded);
    static const char inThisBinary = 0;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &inThisBinary, &self);
    return self;
}

} // namespace

bool FindModuleResource(void* module, const char* type, int id, const unsigned char** data,
                        std::size_t* size) {
    if (!data || !size)
        return false;
    *data = nullptr;
    *size = 0;
    if (!type)
        return false;
    HMODULE handle = module ? static_cast<HMODULE>(module) : DefaultModule();
    if (!handle)
        return false;
    HRSRC found = FindResourceA(handle, MAKEINTRESOURCEA(id), type);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(handle, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return false;
    *data = static_cast<const unsigned char*>(bytes);
    *size = SizeofResource(handle, found);
    return true;
}

#else

bool FindModuleResource(void* /*module*/, const char* type, int id, const unsigned char** data,
                        std::size_t* size) {
    if (!data || !size)
        return false;
    *data = nullptr;
    *size = 0;
    if (!type)
        return false;
    std::size_t count = 0;
    const ModuleResourceEntry* table = LinkedModuleResources(&count);
    for (std::size_t i = 0; table && i < count; ++i) {
        if (table[i].id == id && std::strcmp(table[i].type, type) == 0) {
            *data = table[i].data;
            *size = table[i].size;
            return true;
        }
    }
    return false;
}

#endif
