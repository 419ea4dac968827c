#include "ModuleHandle.h"

#include <atomic>

namespace {
// Module-wide: one per loaded module, set by its entry point.
std::atomic<void*> gModuleHandle{nullptr};
} // namespace

void SetModuleHandle(void* handle) {
    gModuleHandle.store(handle);
}

void* GetModuleHandleForResources() {
    return gModuleHandle.load();
}
