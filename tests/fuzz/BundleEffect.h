#pragma once

// What the renderer's fuzz targets share: a check that keeps the input, and the effect of this build
// tree's bundle, opened once (loading a module costs far more than an input).

#include <cstdlib>
#include <memory>
#include <string>

#include "HostedEffect.h"

namespace halvane::fuzz {

inline void Check(bool ok) {
    if (!ok)
        std::abort(); // libFuzzer keeps the input
}

inline render::HostedEffect& BundleEffect() {
    static std::unique_ptr<render::HostedEffect> effect = [] {
        std::string error;
        auto opened = render::HostedEffect::open(HALVANE_BUNDLE, "Fuzz Host", error);
        Check(opened != nullptr);
        return opened;
    }();
    return *effect;
}

} // namespace halvane::fuzz
