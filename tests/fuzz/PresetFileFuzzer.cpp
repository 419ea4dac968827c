// Any bytes as the .vstpreset file of `halvane-render --preset-file`: read as the renderer reads one and,
// when that succeeds, given to the effect as the renderer gives it. Whatever the file holds, the answer
// is a loaded preset or a refusal with its reason, never a crash or an allocation beyond the run's limit.
//
// The effect is the bundle of this build tree, opened once.

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "BundleEffect.h"
#include "HostedEffect.h"
#include "PresetFileLoader.h"

using halvane::fuzz::Check;
using halvane::render::HostedEffect;
using halvane::render::PresetFileContents;
using halvane::render::PresetFileLoader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostedEffect& effect = halvane::fuzz::BundleEffect();
    const std::vector<char> bytes(reinterpret_cast<const char*>(data),
                                  reinterpret_cast<const char*>(data) + size);
    PresetFileContents contents;
    std::string error;
    if (!PresetFileLoader::parse(bytes, contents, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(contents.classId.size() == 32);
    for (const char c : contents.classId)
        Check(std::isxdigit(static_cast<unsigned char>(c)) && !std::islower(static_cast<unsigned char>(c)));
    Check(contents.componentState.size() <= size && contents.controllerState.size() <= size);
    error.clear();
    if (!effect.loadPresetFile(contents, error))
        Check(!error.empty());
    return 0;
}
