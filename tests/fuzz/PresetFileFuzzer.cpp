// Any bytes as the .vstpreset file of `halvane-render --preset-file`: read as the renderer reads one and,
// when that succeeds, given to the effect as the renderer gives it. Whatever the file holds, the answer
// is a loaded preset or a refusal with its reason, never a crash or an allocation beyond the run's limit.
//
// The effect is the bundle of this build tree, opened once: loading a module costs far more than a file.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "HostedEffect.h"
#include "PresetFileLoader.h"

using halvane::render::HostedEffect;
using halvane::render::PresetFileContents;
using halvane::render::PresetFileLoader;

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort(); // libFuzzer keeps the input
}

HostedEffect& Effect() {
    static std::unique_ptr<HostedEffect> effect = [] {
        std::string error;
        auto opened = HostedEffect::open(HALVANE_BUNDLE, "Fuzz Host", error);
        Check(opened != nullptr);
        return opened;
    }();
    return *effect;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostedEffect& effect = Effect();
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
