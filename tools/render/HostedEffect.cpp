#include "HostedEffect.h"

#include "Lookup.h"

#include "ParameterChanges.h"
#include "ProcessBuffers.h"
#include "Utf16Text.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::render {

namespace {

// A parameter as the effect's edit controller presents it.
class ControllerParameter : public ParameterView {
  public:
    ControllerParameter(IEditController& controller, const ParameterInfo& info)
        : controller_(controller), info_(info) {}

    int stepCount() const override { return info_.stepCount; }
    bool isList() const override { return (info_.flags & ParameterInfo::kIsList) != 0; }
    std::string unit() const override { return utf16ToUtf8(info_.units, 128); }
    std::string display(double normalized) const override {
        String128 text = {};
        if (controller_.getParamStringByValue(info_.id, normalized, text) != kResultOk)
            return {};
        return utf16ToUtf8(text, 128);
    }
    double toPlain(double normalized) const override {
        return controller_.normalizedParamToPlain(info_.id, normalized);
    }
    double toNormalized(double plain) const override {
        return controller_.plainParamToNormalized(info_.id, plain);
    }

  private:
    IEditController& controller_;
    const ParameterInfo& info_;
};

bool isUserSettable(const ParameterInfo& info) {
    return (info.flags &
            (ParameterInfo::kIsProgramChange | ParameterInfo::kIsReadOnly | ParameterInfo::kIsHidden)) == 0;
}

int32 channelsOf(IAudioProcessor& processor, BusDirection dir, int32 bus) {
    SpeakerArrangement arrangement = 0;
    if (processor.getBusArrangement(dir, bus, arrangement) != kResultOk)
        return 0;
    return SpeakerArr::getChannelCount(arrangement);
}

// "Stadium, Stadium 2, ..." wrapped to lines of about width characters, each indented.
void printWrapped(std::FILE* out, const std::string& text, size_t indent, size_t width) {
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(", ", start);
        const std::string word =
            text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            std::fprintf(out, "%*s%s\n", static_cast<int>(indent), "", line.c_str());
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end == std::string::npos ? text.size() : end + 2;
    }
    if (!line.empty())
        std::fprintf(out, "%*s%s\n", static_cast<int>(indent), "", line.c_str());
}

} // namespace

std::unique_ptr<HostedEffect> HostedEffect::open(const std::string& bundle, const std::string& hostName,
                                                 std::string& error) {
    std::string reason;
    std::shared_ptr<host::Module> module = host::Module::open(bundle, reason);
    if (!module) {
        error = "cannot load the plug-in " + bundle + ": " + reason;
        return nullptr;
    }
    host::ClassInfo effectClass;
    if (!module->findClass(kVstAudioEffectClass, effectClass)) {
        error = bundle + " holds no audio effect class";
        return nullptr;
    }
    std::unique_ptr<HostedEffect> effect(new HostedEffect());
    effect->instance_ = host::PluginInstance::create(module, effectClass.cid, hostName, reason);
    if (!effect->instance_) {
        error = "cannot create \"" + effectClass.name + "\" from " + bundle + ": " + reason;
        return nullptr;
    }
    if (!effect->instance_->controller()) {
        error = "\"" + effectClass.name + "\" has no edit controller";
        return nullptr;
    }
    effect->className_ = effectClass.name;
    effect->classId_ = host::classIdString(effectClass.cid);
    return effect;
}

bool HostedEffect::findProgramParameter(ParameterInfo& found) const {
    return instance_->findProgramParameter(found);
}

std::vector<std::string> HostedEffect::presetNames() const {
    return instance_->programNames();
}

void HostedEffect::listPresets(std::FILE* out) const {
    const std::vector<std::string> names = presetNames();
    if (names.empty())
        std::fprintf(stderr, "halvane-render: the plug-in has no presets\n");
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty())
            std::fprintf(out, "%3d  %s\n", static_cast<int>(i), names[i].c_str());
}

void HostedEffect::listParameters(std::FILE* out) const {
    IEditController& controller = *instance_->controller();
    std::vector<ParameterInfo> shown;
    size_t nameWidth = 9;
    for (const ParameterInfo& info : instance_->parameters()) {
        if (!isUserSettable(info))
            continue;
        shown.push_back(info);
        nameWidth = std::max(nameWidth, host::parameterTitle(info).size());
    }
    const int w = static_cast<int>(nameWidth);
    std::fprintf(out, "%-*s  %-16s  %-12s  %s\n", w, "Parameter", "Range", "Default", "Unit");
    for (const ParameterInfo& info : shown) {
        const ControllerParameter parameter(controller, info);
        const std::string range =
            formatPlain(parameter.toPlain(0.0)) + " to " + formatPlain(parameter.toPlain(1.0));
        std::string shownDefault = parameter.display(info.defaultNormalizedValue);
        if (shownDefault.empty())
            shownDefault = formatPlain(parameter.toPlain(info.defaultNormalizedValue));
        const std::string unit = parameter.unit();
        std::string line = host::parameterTitle(info);
        line.resize(nameWidth, ' ');
        line += "  " + range;
        line.resize(nameWidth + 2 + 16, ' ');
        line += "  " + shownDefault;
        if (!unit.empty()) {
            line.resize(std::max(line.size(), nameWidth + 2 + 16 + 2 + 12), ' ');
            line += "  " + unit;
        }
        std::fprintf(out, "%s\n", line.c_str());
        const std::string texts = valueTexts(parameter);
        if (!texts.empty())
            printWrapped(out, texts, nameWidth + 4, 100);
    }
}

bool HostedEffect::resolveSetting(const ParameterSetting& setting, ParamID& id, ParamValue& value,
                                  std::string& error) const {
    const std::vector<ParameterInfo> parameters = instance_->parameters();
    std::vector<std::string> titles;
    for (const ParameterInfo& info : parameters)
        titles.push_back(host::parameterTitle(info));
    const int index = findName(titles, setting.name);
    if (index < 0) {
        error = "unknown parameter \"" + setting.name + "\" (--list-params shows them)";
        return false;
    }
    const ParameterInfo& info = parameters[static_cast<size_t>(index)];
    if (info.flags & ParameterInfo::kIsProgramChange) {
        error = "\"" + titles[static_cast<size_t>(index)] + "\" picks presets: use --preset";
        return false;
    }
    if (!isUserSettable(info)) {
        error = "\"" + titles[static_cast<size_t>(index)] + "\" cannot be set from outside the plug-in";
        return false;
    }
    std::string reason;
    if (!normalizedFromText(ControllerParameter(*instance_->controller(), info), setting.value, value,
                            reason)) {
        error = "--set " + titles[static_cast<size_t>(index)] + "=" + setting.value + ": " + reason;
        return false;
    }
    id = info.id;
    return true;
}

bool HostedEffect::plan(const RenderOptions& options, RenderPlan& plan, std::string& error) const {
    plan = RenderPlan();
    if (!options.preset.empty()) {
        const std::vector<std::string> names = presetNames();
        int index = 0;
        if (!resolvePreset(names, options.preset, index, error))
            return false;
        ParameterInfo program{};
        findProgramParameter(program);
        const int32 steps = program.stepCount > 0 ? program.stepCount : static_cast<int32>(names.size()) - 1;
        plan.hasPreset = true;
        plan.presetParameter = program.id;
        plan.presetValue = steps > 0 ? static_cast<double>(index) / steps : 0.0;
        plan.presetName = names[static_cast<size_t>(index)];
    }
    for (const ParameterSetting& setting : options.settings) {
        ParamID id = 0;
        ParamValue value = 0.0;
        if (!resolveSetting(setting, id, value, error))
            return false;
        plan.settings.emplace_back(id, value);
    }
    return true;
}

std::unique_ptr<HostedEffect> HostedEffect::openFor(const std::string& bundle, const RenderOptions& options,
                                                    RenderPlan& plan, std::string& error) {
    std::unique_ptr<HostedEffect> effect = open(bundle, options.hostName, error);
    if (!effect)
        return nullptr;
    if (!options.presetFile.empty()) {
        PresetFileContents preset;
        if (!PresetFileLoader::load(options.presetFile, preset, error) ||
            !effect->loadPresetFile(preset, error))
            return nullptr;
    }
    if (!effect->plan(options, plan, error))
        return nullptr;
    return effect;
}

bool HostedEffect::loadPresetFile(const PresetFileContents& preset, std::string& error) {
    if (preset.classId != classId_) {
        error = "the preset file was saved for another plug-in (class " + preset.classId + ", not \"" +
                className_ + "\" " + classId_ + ")";
        return false;
    }
    if (instance_->loadState(preset.componentState) != kResultOk) {
        error = "\"" + className_ + "\" refused the preset's state";
        return false;
    }
    if (!preset.controllerState.empty()) {
        IPtr<host::BufferStream> stream = owned(new host::BufferStream(preset.controllerState));
        if (instance_->controller()->setState(stream) != kResultOk) {
            error = "\"" + className_ + "\" refused the preset's controller state";
            return false;
        }
    }
    return true;
}

bool HostedEffect::setUp(const RenderOptions& options, int rate, std::vector<int32>& inputChannels,
                         std::vector<int32>& outputChannels, std::string& error) {
    IComponent& component = *instance_->component();
    IAudioProcessor& processor = *instance_->processor();
    const int32 inputBuses = component.getBusCount(kAudio, kInput);
    const int32 outputBuses = component.getBusCount(kAudio, kOutput);
    if (inputBuses < 1 || outputBuses < 1) {
        error = "the plug-in is not an effect with an audio input and output";
        return false;
    }

    // Stereo on the main buses; any further bus keeps the arrangement it has.
    std::vector<SpeakerArrangement> inputs(static_cast<size_t>(inputBuses), SpeakerArr::kStereo);
    std::vector<SpeakerArrangement> outputs(static_cast<size_t>(outputBuses), SpeakerArr::kStereo);
    for (int32 i = 1; i < inputBuses; ++i)
        processor.getBusArrangement(kInput, i, inputs[static_cast<size_t>(i)]);
    for (int32 i = 1; i < outputBuses; ++i)
        processor.getBusArrangement(kOutput, i, outputs[static_cast<size_t>(i)]);
    if (processor.setBusArrangements(inputs.data(), inputBuses, outputs.data(), outputBuses) != kResultOk) {
        error = "the plug-in does not accept a stereo input and output";
        return false;
    }
    for (int32 i = 0; i < inputBuses; ++i)
        inputChannels.push_back(channelsOf(processor, kInput, i));
    for (int32 i = 0; i < outputBuses; ++i)
        outputChannels.push_back(channelsOf(processor, kOutput, i));
    if (inputChannels[0] != 2 || outputChannels[0] != 2) {
        error = "the plug-in accepted stereo buses but reports others";
        return false;
    }

    instance_->activateDefaultBuses();
    component.activateBus(kAudio, kInput, 0, true);
    component.activateBus(kAudio, kOutput, 0, true);

    const int32 sampleSize = options.precision == 64 ? kSample64 : kSample32;
    if (processor.canProcessSampleSize(sampleSize) != kResultTrue) {
        error = "the plug-in cannot process " + std::to_string(options.precision) + "-bit samples";
        return false;
    }
    if (instance_->setupProcessing(rate, options.block, sampleSize, kOffline) != kResultOk) {
        error = "the plug-in refused to process at " + std::to_string(rate) + " Hz in blocks of " +
                std::to_string(options.block);
        return false;
    }
    if (instance_->setActive(true) != kResultOk) {
        error = "the plug-in could not be activated";
        return false;
    }
    // Plug-ins may answer kNotImplemented; the call is still owed to them.
    instance_->setProcessing(true);
    return true;
}

bool HostedEffect::render(AudioReader& input, AudioWriter& output, const RenderOptions& options, int rate,
                          const RenderPlan& plan, const ProgressCallback& progress, LevelMeter& meter,
                          std::string& error) {
    std::vector<int32> inputChannels;
    std::vector<int32> outputChannels;
    if (!setUp(options, rate, inputChannels, outputChannels, error))
        return false;

    const bool is64 = options.precision == 64;
    host::ProcessBuffers buffers(is64 ? kSample64 : kSample32, options.block, inputChannels, outputChannels);
    auto changes = owned(new host::ParameterChanges());
    ProcessContext context{};
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kTimeSigValid |
                    ProcessContext::kProjectTimeMusicValid;
    context.sampleRate = rate;
    context.tempo = 120.0;
    context.timeSigNumerator = 4;
    context.timeSigDenominator = 4;

    auto runBlock = [&](int32 frames, long long position) {
        context.projectTimeSamples = position;
        context.projectTimeMusic = static_cast<double>(position) / rate * context.tempo / 60.0;
        ProcessData& data = buffers.prepare(frames, changes, nullptr, &context, kOffline);
        const tresult result = instance_->process(data);
        if (result != kResultOk)
            error = "the plug-in's process failed (result " + std::to_string(result) + ") at frame " +
                    std::to_string(position);
        return result == kResultOk;
    };

    // Parameter changes go in blocks of no audio before the first sample: the preset alone
    // first, then the settings, so the settings win over the preset whatever order the
    // plug-in reads the queues of one block in.
    if (plan.hasPreset) {
        changes->addChange(plan.presetParameter, 0, plan.presetValue);
        if (!runBlock(0, 0))
            return false;
        changes->clear();
    }
    if (!plan.settings.empty()) {
        for (const auto& [id, value] : plan.settings)
            changes->addChange(id, 0, value);
        if (!runBlock(0, 0))
            return false;
        changes->clear();
    }

    // With the parameters in place the plug-in knows its tail.
    long long tailFrames = 0;
    if (options.tailSeconds) {
        tailFrames = std::llround(*options.tailSeconds * rate);
    } else {
        const uint32 tail = instance_->processor()->getTailSamples();
        if (tail == kInfiniteTail || static_cast<double>(tail) > kMaxTailSeconds * rate) {
            error = "the plug-in reports an endless tail; give --tail SECONDS";
            return false;
        }
        tailFrames = tail;
    }
    const long long inputFrames = input.frames();
    const long long total = inputFrames + tailFrames;

    // The file's frames go straight into the plug-in's buffers and come straight out of them, in
    // the sample width the plug-in processes.
    const auto runFrames = [&](auto* inLeft, auto* inRight, const auto* outLeft, const auto* outRight,
                               int32 frames, long long position) {
        const auto wanted = static_cast<int32>(std::clamp<long long>(inputFrames - position, 0, frames));
        const long long got = input.read(inLeft, inRight, wanted, error);
        if (got < 0)
            return false;
        // Past the input, and in a file shorter than its header says, the input is silence.
        std::fill(inLeft + got, inLeft + frames, 0.0f);
        std::fill(inRight + got, inRight + frames, 0.0f);
        if (!runBlock(frames, position))
            return false;
        meter.add(outLeft, outRight, frames);
        return output.write(outLeft, outRight, frames, error);
    };
    for (long long position = 0; position < total;) {
        const auto frames = static_cast<int32>(std::min<long long>(options.block, total - position));
        const bool ran = is64 ? runFrames(buffers.channel64(kInput, 0, 0), buffers.channel64(kInput, 0, 1),
                                          buffers.channel64(kOutput, 0, 0), buffers.channel64(kOutput, 0, 1),
                                          frames, position)
                              : runFrames(buffers.channel32(kInput, 0, 0), buffers.channel32(kInput, 0, 1),
                                          buffers.channel32(kOutput, 0, 0), buffers.channel32(kOutput, 0, 1),
                                          frames, position);
        if (!ran)
            return false;
        position += frames;
        if (progress && !progress(position, total)) {
            error = "interrupted";
            return false;
        }
    }

    instance_->setProcessing(false);
    instance_->setActive(false);
    return true;
}

} // namespace halvane::render
