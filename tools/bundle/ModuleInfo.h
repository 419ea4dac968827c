#pragma once

// The module info hosts read from Contents/Resources/moduleinfo.json to list a plug-in without
// loading it: the factory's information and every class it describes, in JSON.

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

namespace halvane::bundle {

// name and version are the module's own (the bundle's name and its release); everything else is
// read from the factory (classes through IPluginFactory2), so the file says exactly what the loaded
// module reports.
std::string moduleInfoJson(Steinberg::IPluginFactory& factory, const std::string& name,
                           const std::string& version);

} // namespace halvane::bundle
