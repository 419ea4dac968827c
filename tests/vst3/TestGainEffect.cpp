#include "TestGainEffect.h"

#include "TestModuleIds.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::testmodule {

namespace {

template <typename Sample> Sample** channelsOf(const AudioBusBuffers& bus);
template <> Sample32** channelsOf<Sample32>(const AudioBusBuffers& bus) {
    return bus.channelBuffers32;
}
template <> Sample64** channelsOf<Sample64>(const AudioBusBuffers& bus) {
    return bus.channelBuffers64;
}

// Any channel the host leaves out (missing input, null pointer) reads as silence.
template <typename Sample>
void applyGain(const AudioBusBuffers* input, AudioBusBuffers& output, int32 frames, double gain) {
    Sample** outs = channelsOf<Sample>(output);
    if (!outs)
        return;
    Sample** ins = input ? channelsOf<Sample>(*input) : nullptr;
    for (int32 c = 0; c < output.numChannels; ++c) {
        Sample* dst = outs[c];
        if (!dst)
            continue;
        const Sample* src = ins && c < input->numChannels ? ins[c] : nullptr;
        for (int32 i = 0; i < frames; ++i)
            dst[i] = src ? static_cast<Sample>(src[i] * gain) : Sample(0);
    }
}

} // namespace

FUnknown* TestGainEffect::create(void* /*context*/) {
    return static_cast<IAudioProcessor*>(new TestGainEffect());
}

tresult PLUGIN_API TestGainEffect::initialize(FUnknown* context) {
    const tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk)
        return result;

    addAudioInput(STR16("Stereo In"), SpeakerArr::kStereo);
    addAudioOutput(STR16("Stereo Out"), SpeakerArr::kStereo);

    parameters.addParameter(STR16("Gain"), STR16("x"), 0, 1.0 / kGainRange, ParameterInfo::kCanAutomate,
                            static_cast<int32>(kGainId));
    auto* mode = new StringListParameter(STR16("Mode"), kModeId);
    mode->appendString(STR16("A"));
    mode->appendString(STR16("B"));
    mode->appendString(STR16("C"));
    parameters.addParameter(mode);

    String128 hostName = {};
    FUnknownPtr<IHostApplication> host(context);
    if (host)
        host->getName(hostName);
    addUnit(new Unit(STR16("Root"), kRootUnitId, kNoParentUnitId));
    addUnit(new Unit(hostName, 1, kRootUnitId));
    return kResultOk;
}

tresult TestGainEffect::loadComponentState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    double value = 0.0;
    int32 read = 0;
    if (state->read(&value, sizeof(value), &read) != kResultOk || read != static_cast<int32>(sizeof(value)))
        return kResultFalse;
    gain_ = value;
    if (Parameter* gain = parameters.getParameter(kGainId))
        gain->setNormalized(gain_ / kGainRange);
    if (componentHandler)
        componentHandler->restartComponent(kParamValuesChanged);
    return kResultOk;
}

tresult TestGainEffect::saveComponentState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    int32 written = 0;
    if (state->write(&gain_, sizeof(gain_), &written) != kResultOk ||
        written != static_cast<int32>(sizeof(gain_)))
        return kResultFalse;
    return kResultOk;
}

tresult PLUGIN_API TestGainEffect::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API TestGainEffect::process(ProcessData& data) {
    if (IParameterChanges* changes = data.inputParameterChanges) {
        const int32 count = changes->getParameterCount();
        for (int32 i = 0; i < count; ++i) {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (!queue || queue->getParameterId() != kGainId || queue->getPointCount() <= 0)
                continue;
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                gain_ = value * kGainRange;
        }
    }
    if (data.numSamples <= 0 || data.numOutputs < 1 || !data.outputs)
        return kResultOk;
    const AudioBusBuffers* input = data.numInputs > 0 ? data.inputs : nullptr;
    if (data.symbolicSampleSize == kSample64)
        applyGain<Sample64>(input, data.outputs[0], data.numSamples, gain_);
    else
        applyGain<Sample32>(input, data.outputs[0], data.numSamples, gain_);
    return kResultOk;
}

} // namespace halvane::testmodule
