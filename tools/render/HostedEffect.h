#pragma once

// One effect loaded from a VST 3 bundle and driven the way an offline host drives it: the
// first audio-effect class of the module, initialised with our host name, stereo buses,
// offline processing. Lists its presets and parameters, resolves what the user asked for
// into parameter changes, and renders a file through it.

#include "AudioFile.h"
#include "LevelMeter.h"
#include "PresetFileLoader.h"
#include "RenderOptions.h"

#include "PluginInstance.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace halvane::render {

// The parameter changes of a render, resolved against the effect before any audio is touched.
struct RenderPlan {
    bool hasPreset = false;
    Steinberg::Vst::ParamID presetParameter = 0;
    Steinberg::Vst::ParamValue presetValue = 0.0;
    std::string presetName;
    std::vector<std::pair<Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue>> settings;
};

// Told the frames done so far and the total after every block; answering false stops the render.
using ProgressCallback = std::function<bool(long long done, long long total)>;

class HostedEffect {
  public:
    // Null on failure, with the reason in error.
    static std::unique_ptr<HostedEffect> open(const std::string& bundle, const std::string& hostName,
                                              std::string& error);

    // The names of the programs the effect's program-change parameter selects, one per index
    // (unused slots empty); empty when the effect offers none.
    std::vector<std::string> presetNames() const;

    // "  0  name" per named preset.
    void listPresets(std::FILE* out) const;
    // Name, range, default (as the effect displays it) and unit of every parameter the user can
    // set, with the texts of list-like parameters.
    void listParameters(std::FILE* out) const;

    bool plan(const RenderOptions& options, RenderPlan& plan, std::string& error) const;

    // open with the options' host name, then the options' preset file (if any) and plan: all the
    // user asked for, resolved before any audio. Null with the reason in error.
    static std::unique_ptr<HostedEffect> openFor(const std::string& bundle, const RenderOptions& options,
                                                 RenderPlan& plan, std::string& error);

    const std::string& className() const { return className_; }

    // Gives the effect the states of a preset file saved for its class; false with the reason
    // (another effect's preset, or the effect refused the state).
    bool loadPresetFile(const PresetFileContents& preset, std::string& error);

    // Sets the effect up at rate, delivers the plan's changes, runs the input and its tail
    // through it into output and tears the set-up down again. The meter sees every frame
    // written. False with the reason in error (output then holds a partial file the caller
    // discards).
    bool render(AudioReader& input, AudioWriter& output, const RenderOptions& options, int rate,
                const RenderPlan& plan, const ProgressCallback& progress, LevelMeter& meter,
                std::string& error);

  private:
    HostedEffect() = default;

    bool findProgramParameter(Steinberg::Vst::ParameterInfo& found) const;
    bool resolveSetting(const ParameterSetting& setting, Steinberg::Vst::ParamID& id,
                        Steinberg::Vst::ParamValue& value, std::string& error) const;
    bool setUp(const RenderOptions& options, int rate, std::vector<Steinberg::int32>& inputChannels,
               std::vector<Steinberg::int32>& outputChannels, std::string& error);

    std::unique_ptr<host::PluginInstance> instance_;
    std::string className_;
    std::string classId_;
};

} // namespace halvane::render
