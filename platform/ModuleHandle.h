#pragma once

// The handle of the loaded module, recorded at load or entry time, from which resources are found.
void SetModuleHandle(void* handle);
void* GetModuleHandleForResources();
