#pragma once

#include <cstddef>

#include "LICE_MemBitmap.h"

// The width and height in a PNG's header; false when the data is no PNG, or its size is empty or beyond
// the layer's limits. Any thread.
bool LICE_ReadPNGSize(const void* data, std::size_t size, int* width, int* height);

// Decodes a PNG into a bitmap of exactly its size; false when the data does not decode completely (the
// pixels are then partly written) or the bitmap does not fit. Any thread.
bool LICE_DecodePNG(const void* data, std::size_t size, LICE_IBitmap* bitmap);

// A new bitmap with the PNG's width, height and alpha, or null when the data is missing, shorter than the
// 8-byte signature or does not decode completely. The caller owns the result. Any thread.
LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size);

// The same for resource `id` of type "PNG" in `module` (platform/ModuleResources.h); null when the
// module has no such resource.
LICE_MemBitmap* LICE_LoadPNGResource(void* module, int id);

// Writes the bitmap as an 8-bit RGBA PNG file; false for a null or empty bitmap or a failed write.
bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap);
