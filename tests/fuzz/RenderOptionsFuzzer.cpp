// Any bytes as halvane-render's command line (arguments apart at each NUL): parsed as the renderer parses
// it and, for a render, resolved against the effect as the renderer resolves it: presets by name or
// number, --set NAME=VALUE with numbers in each parameter's unit or its displayed texts. Whatever is
// typed, the answer is a refusal with its reason or a plan whose every value is a normalised one.
//
// The effect is the bundle of this build tree, opened once.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "BundleEffect.h"
#include "HostedEffect.h"
#include "RenderOptions.h"

using halvane::fuzz::Check;
using halvane::render::HostedEffect;
using halvane::render::Mode;
using halvane::render::RenderOptions;
using halvane::render::RenderPlan;

namespace {

bool Normalised(double value) {
    return value >= 0.0 && value <= 1.0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostedEffect& effect = halvane::fuzz::BundleEffect();
    std::vector<std::string> args;
    for (size_t i = 0; i < size; ++i) {
        if (i == 0 || data[i - 1] == 0)
            args.emplace_back();
        if (data[i] != 0)
            args.back() += static_cast<char>(data[i]);
    }
    RenderOptions options;
    std::string error;
    if (!halvane::render::parseArguments(args, options, error)) {
        Check(!error.empty());
        return 0;
    }
    if (options.mode != Mode::Render)
        return 0;
    Check(options.block >= 1 && (options.precision == 32 || options.precision == 64));
    Check(!options.rate || *options.rate >= 1000);
    Check(!options.tailSeconds || (*options.tailSeconds >= 0.0 && *options.tailSeconds <= 3600.0));

    RenderPlan plan;
    if (!effect.plan(options, plan, error)) {
        Check(!error.empty());
        return 0;
    }
    Check(plan.settings.size() == options.settings.size());
    Check(!plan.hasPreset || Normalised(plan.presetValue));
    for (const auto& setting : plan.settings)
        Check(Normalised(setting.second));
    return 0;
}
