#pragma once

#include <cstddef>

// Resources carried inside a module binary, found by type and integer id.
//
// On Windows these are the module's own resources (the .rc script), found through the module handle; a
// null handle means the handle the module's entry point recorded (SetModuleHandle), or else the binary
// the caller is linked into.
// Elsewhere each binary links a table generated at build time from the resource files
// (halvane_add_resource_table in cmake/ModuleResources.cmake); the handle is not needed to find it,
// because the table is part of the binary that asks.
//
// Any thread; the data is constant and lives as long as the module.

// Points *data and *size at the bytes of resource (type, id) and returns true; false, with *data null and
// *size 0, when the module has no such resource. Null out-pointers or type give false.
bool FindModuleResource(void* module, const char* type, int id, const unsigned char** data,
                        std::size_t* size);

#ifndef _WIN32
// One row of a generated resource table.
struct ModuleResourceEntry {
    const char* type;
    int id;
    const unsigned char* data;
    std::size_t size;
};

// The table linked into this binary: defined by the generated source of halvane_add_resource_table.
const ModuleResourceEntry* LinkedModuleResources(std::size_t* count);
#endif
