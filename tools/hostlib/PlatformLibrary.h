#pragma once

// The only platform-specific part of the host library: finding, opening and closing a
// module binary and calling its start and stop functions.

#include <string>

namespace halvane::host::platform {

// Where a bundle keeps the binary for this platform: Contents/<folder>/<Name><suffix>.
extern const char* const kBundleArchFolder;
extern const char* const kBinarySuffix;

bool isFile(const std::string& path);

// Null on failure, with the system's reason in error.
void* openLibrary(const std::string& path, std::string& error);
void* findSymbol(void* library, const char* name);
void closeLibrary(void* library);

// ModuleEntry(handle) on Linux (required there), InitDll() on Windows (optional there).
bool enterModule(void* library, std::string& error);
// ModuleExit() on Linux, ExitDll() on Windows, when the module has it.
void exitModule(void* library);

} // namespace halvane::host::platform
