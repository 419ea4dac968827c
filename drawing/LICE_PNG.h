#pragma once

#include <cstddef>

#include "LICE_MemBitmap.h"

// A new bitmap with the PNG's width, height and alpha, or null when the data is missing, shorter than the
// 8-byte signature or does not decode completely. The caller owns the result. Any thread.
LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size);

// The same for resource `id` of type "PNG" in `module` (platform/ModuleResources.h); null when the
// module has no such resource.
LICE_MemBitmap* LICE_LoadPNGResource(void* module, int id);

// Writes the bitmap as an 8-bit RGBA PNG file; false for a null or empty bitmap or a failed write.
bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap);
