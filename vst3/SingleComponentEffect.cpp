#include "SingleComponentEffect.h"

#include "HostCallGuard.h"

namespace Steinberg {
namespace Vst {

namespace {

bool validDirection(BusDirection dir) {
    return dir == kInput || dir == kOutput;
}

} // namespace

SingleComponentEffect::SingleComponentEffect()
    : audioInputs(kAudio, kInput), audioOutputs(kAudio, kOutput), eventInputs(kEvent, kInput),
      eventOutputs(kEvent, kOutput), processSetup{kRealtime, kSample32, 0, 0.0} {}

SingleComponentEffect::~SingleComponentEffect() = default;

//--- buses

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                               int32 flags) {
    auto* bus = new AudioBus(name, busType, flags, arr);
    audioInputs.emplace_back(bus, false);
    return bus;
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType,
                                                int32 flags) {
    auto* bus = new AudioBus(name, busType, flags, arr);
    audioOutputs.emplace_back(bus, false);
    return bus;
}

EventBus* SingleComponentEffect::addEventInput(const TChar* name, int32 channels, BusType busType,
                                               int32 flags) {
    auto* bus = new EventBus(name, busType, flags, channels);
    eventInputs.emplace_back(bus, false);
    return bus;
}

EventBus* SingleComponentEffect::addEventOutput(const TChar* name, int32 channels, BusType busType,
                                                int32 flags) {
    auto* bus = new EventBus(name, busType, flags, channels);
    eventOutputs.emplace_back(bus, false);
    return bus;
}

AudioBus* SingleComponentEffect::getAudioInput(int32 index) {
    if (index < 0 || index >= static_cast<int32>(audioInputs.size()))
        return nullptr;
    return FCast<AudioBus>(audioInputs[static_cast<size_t>(index)].get());
}

AudioBus* SingleComponentEffect::getAudioOutput(int32 index) {
    if (index < 0 || index >= static_cast<int32>(audioOutputs.size()))
        return nullptr;
    return FCast<AudioBus>(audioOutputs[static_cast<size_t>(index)].get());
}

tresult SingleComponentEffect::removeAudioBusses() {
    audioInputs.clear();
    audioOutputs.clear();
    return kResultOk;
}

tresult SingleComponentEffect::removeEventBusses() {
    eventInputs.clear();
    eventOutputs.clear();
    return kResultOk;
}

tresult SingleComponentEffect::removeAllBusses() {
    removeAudioBusses();
    removeEventBusses();
    return kResultOk;
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
    if (!validDirection(dir))
        return nullptr;
    if (type == kAudio)
        return dir == kInput ? &audioInputs : &audioOutputs;
    if (type == kEvent)
        return dir == kInput ? &eventInputs : &eventOutputs;
    return nullptr;
}

tresult SingleComponentEffect::findBus(MediaType type, BusDirection dir, int32 index, Bus*& bus) {
    BusList* list = getBusList(type, dir);
    if (!list || index < 0 || index >= static_cast<int32>(list->size()))
        return kInvalidArgument;
    bus = (*list)[static_cast<size_t>(index)];
    return bus ? kResultOk : kResultFalse;
}

//--- FUnknown

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
    if (!obj)
        return kInvalidArgument;
    if (!iid) {
        *obj = nullptr;
        return kInvalidArgument;
    }
    QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
    QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
    return EditControllerEx1::queryInterface(iid, obj);
}

//--- IPluginBase

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
    return GuardHostCall([&]() -> tresult { return EditControllerEx1::initialize(context); });
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
    return GuardHostCall([&]() -> tresult {
        removeAllBusses();
        return EditControllerEx1::terminate();
    });
}

//--- IComponent

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID /*classId*/) {
    return kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode /*mode*/) {
    return kNotImplemented;
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
    BusList* list = getBusList(type, dir);
    return list ? static_cast<int32>(list->size()) : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& info) {
    return GuardHostCall([&]() -> tresult {
        Bus* bus = nullptr;
        if (tresult found = findBus(type, dir, index, bus); found != kResultOk)
            return found;
        info.mediaType = type;
        info.direction = dir;
        return bus->getInfo(info) ? kResultTrue : kResultFalse;
    });
}

tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo& /*inInfo*/, RoutingInfo& /*outInfo*/) {
    return kNotImplemented;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state) {
    return GuardHostCall([&]() -> tresult {
        Bus* bus = nullptr;
        if (tresult found = findBus(type, dir, index, bus); found != kResultOk)
            return found;
        bus->setActive(state);
        return kResultTrue;
    });
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool /*state*/) {
    return kResultOk;
}

//--- IEditController

tresult PLUGIN_API SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    return GuardHostCall([&]() -> tresult {
        // The SDK's container indexes with at(): out of range it would throw through the host.
        if (paramIndex < 0 || paramIndex >= parameters.getParameterCount())
            return kResultFalse;
        return EditControllerEx1::getParameterInfo(paramIndex, info);
    });
}

tresult PLUGIN_API SingleComponentEffect::getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                                                String128 string) {
    return GuardHostCall([&]() -> tresult {
        if (!string)
            return kInvalidArgument;
        // List parameters index their strings with the value; keep it inside [0, 1].
        if (!(valueNormalized >= 0.0))
            valueNormalized = 0.0;
        else if (valueNormalized > 1.0)
            valueNormalized = 1.0;
        return EditControllerEx1::getParamStringByValue(tag, valueNormalized, string);
    });
}

tresult PLUGIN_API SingleComponentEffect::getParamValueByString(ParamID tag, TChar* string,
                                                                ParamValue& valueNormalized) {
    return GuardHostCall([&]() -> tresult {
        if (!string)
            return kInvalidArgument;
        return EditControllerEx1::getParamValueByString(tag, string, valueNormalized);
    });
}

tresult PLUGIN_API SingleComponentEffect::getUnitInfo(int32 unitIndex, UnitInfo& info) {
    return GuardHostCall([&]() -> tresult {
        // Same at() as above in the SDK's unit list.
        if (unitIndex < 0 || unitIndex >= static_cast<int32>(units.size()))
            return kResultFalse;
        return EditControllerEx1::getUnitInfo(unitIndex, info);
    });
}

tresult PLUGIN_API SingleComponentEffect::getProgramName(ProgramListID listId, int32 programIndex,
                                                         String128 name) {
    return GuardHostCall([&]() -> tresult {
        if (!name)
            return kInvalidArgument;
        return EditControllerEx1::getProgramName(listId, programIndex, name);
    });
}

//--- IAudioProcessor

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts) {
    return GuardHostCall([&]() -> tresult {
        if (numIns < 0 || numOuts < 0 || (numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
            return kInvalidArgument;
        if (numIns != static_cast<int32>(audioInputs.size()) ||
            numOuts != static_cast<int32>(audioOutputs.size()))
            return kResultFalse;
        for (int32 i = 0; i < numIns; ++i)
            if (AudioBus* bus = getAudioInput(i))
                bus->setArrangement(inputs[i]);
        for (int32 i = 0; i < numOuts; ++i)
            if (AudioBus* bus = getAudioOutput(i))
                bus->setArrangement(outputs[i]);
        return kResultTrue;
    });
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr) {
    if (!validDirection(dir))
        return kInvalidArgument;
    AudioBus* bus = dir == kInput ? getAudioInput(index) : getAudioOutput(index);
    if (!bus)
        return kInvalidArgument;
    arr = bus->getArrangement();
    return kResultTrue;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
    return GuardHostCall([&]() -> tresult {
        if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
            return kResultFalse;
        processSetup = setup;
        return kResultOk;
    });
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool /*state*/) {
    return kNotImplemented;
}

} // namespace Vst
} // namespace Steinberg
