#include "PlatformLibrary.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <sys/stat.h>
#endif

namespace halvane::host::platform {

#if defined(_WIN32)

const char* const kBundleArchFolder = "x86_64-win";
const char* const kBinarySuffix = ".vst3";

namespace {

std::wstring widen(const std::string& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// LoadLibrary wants backslashes in a path.
std::wstring nativePath(const std::string& path) {
    std::wstring wide = widen(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

template <typename Function> Function symbolAs(void* library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(findSymbol(library, name)));
}

} // namespace

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(nativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void* openLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryW(nativePath(path).c_str());
    if (!module)
        error = "LoadLibrary failed for " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}

void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

bool enterModule(void* library, std::string& error) {
    using InitDll = bool (*)();
    if (auto init = symbolAs<InitDll>(library, "InitDll"); init && !init()) {
        error = "InitDll failed";
        return false;
    }
    return true;
}

void exitModule(void* library) {
    using ExitDll = bool (*)();
    if (auto exitDll = symbolAs<ExitDll>(library, "ExitDll"))
        exitDll();
}

#else

const char* const kBundleArchFolder = "x86_64-linux";
const char* const kBinarySuffix = ".so";

namespace {

template <typename Function> Function symbolAs(void* library, const char* name) {
    return reinterpret_cast<Function>(findSymbol(library, name));
}

} // namespace

bool isFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void* openLibrary(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = "dlopen failed for " + path + ": " + (reason ? reason : "unknown reason");
    }
    return library;
}

void* findSymbol(void* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void closeLibrary(void* library) {
    if (library)
        dlclose(library);
}

bool enterModule(void* library, std::string& error) {
    using ModuleEntry = bool (*)(void*);
    auto entry = symbolAs<ModuleEntry>(library, "ModuleEntry");
    if (!entry) {
        error = "the module does not export ModuleEntry";
        return false;
    }
    if (!entry(library)) {
        error = "ModuleEntry failed";
        return false;
    }
    return true;
}

void exitModule(void* library) {
    using ModuleExit = bool (*)();
    if (auto moduleExit = symbolAs<ModuleExit>(library, "ModuleExit"))
        moduleExit();
}

#endif

} // namespace halvane::host::platform
