#include "SplitEffect.h"

#include "TestModuleIds.h"

#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::testmodule {

FUnknown* SplitComponent::create(void* /*context*/) {
    return static_cast<IAudioProcessor*>(new SplitComponent());
}

tresult PLUGIN_API SplitComponent::initialize(FUnknown* context) {
    const tresult result = Component::initialize(context);
    if (result == kResultOk)
        setControllerClass(FUID::fromTUID(kSplitControllerClassId));
    return result;
}

tresult PLUGIN_API SplitComponent::getState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    double level = kSplitLevel;
    return state->write(&level, sizeof(level), nullptr);
}

tresult PLUGIN_API SplitComponent::setBusArrangements(SpeakerArrangement* /*inputs*/, int32 /*numIns*/,
                                                      SpeakerArrangement* /*outputs*/, int32 /*numOuts*/) {
    return kResultFalse;
}

tresult PLUGIN_API SplitComponent::getBusArrangement(BusDirection /*dir*/, int32 /*index*/,
                                                     SpeakerArrangement& /*arr*/) {
    return kInvalidArgument;
}

tresult PLUGIN_API SplitComponent::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SplitComponent::setupProcessing(ProcessSetup& /*setup*/) {
    return kResultOk;
}

tresult PLUGIN_API SplitComponent::setProcessing(TBool /*state*/) {
    return kResultOk;
}

tresult PLUGIN_API SplitComponent::process(ProcessData& /*data*/) {
    return kResultOk;
}

FUnknown* SplitController::create(void* /*context*/) {
    return static_cast<IEditController*>(new SplitController());
}

tresult PLUGIN_API SplitController::initialize(FUnknown* context) {
    const tresult result = EditController::initialize(context);
    if (result != kResultOk)
        return result;
    parameters.addParameter(STR16("Level"), nullptr, 0, 0.0, ParameterInfo::kCanAutomate,
                            static_cast<int32>(kLevelId));
    parameters.addParameter(STR16("Connected"), nullptr, 1, 0.0, ParameterInfo::kIsReadOnly,
                            static_cast<int32>(kConnectedId));
    return kResultOk;
}

tresult PLUGIN_API SplitController::setComponentState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    double level = 0.0;
    int32 read = 0;
    if (state->read(&level, sizeof(level), &read) != kResultOk || read != static_cast<int32>(sizeof(level)))
        return kResultFalse;
    return setParamNormalized(kLevelId, level);
}

tresult PLUGIN_API SplitController::connect(IConnectionPoint* other) {
    const tresult result = EditController::connect(other);
    if (result == kResultOk)
        setParamNormalized(kConnectedId, 1.0);
    return result;
}

tresult PLUGIN_API SplitController::disconnect(IConnectionPoint* other) {
    const tresult result = EditController::disconnect(other);
    if (result == kResultOk)
        setParamNormalized(kConnectedId, 0.0);
    return result;
}

} // namespace halvane::testmodule
