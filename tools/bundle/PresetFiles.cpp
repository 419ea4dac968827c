#include "PresetFiles.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/vstpresetfile.h"

#include <cstdio>
#include <cstring>
#include <fstream>

using namespace Steinberg;

namespace halvane::bundle {

std::string presetFileName(const std::string& presetName) {
    std::string stem;
    for (char c : presetName) {
        const bool forbidden =
            static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr;
        stem += forbidden ? '_' : c;
    }
    while (!stem.empty() && (stem.back() == '.' || stem.back() == ' '))
        stem.pop_back();
    return (stem.empty() ? std::string("Preset") : stem) + ".vstpreset";
}

bool writePresetFile(const std::string& path, const FUID& classId, const void* state, size_t size,
                     std::string& error) {
    // The SDK's memory stream only reads the caller's bytes when given them this way.
    IPtr<MemoryStream> component =
        owned(new MemoryStream(const_cast<void*>(state), static_cast<TSize>(size)));
    IPtr<MemoryStream> file = owned(new MemoryStream());
    if (!Vst::PresetFile::savePreset(file, classId, component)) {
        error = "cannot lay out the preset file " + path;
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file->getData(), static_cast<std::streamsize>(file->getSize()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace halvane::bundle
