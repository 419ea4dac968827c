#pragma once

// One object that is at once the VST 3 component, audio processor and edit controller.
// The packaged SDK lacks this class; ours keeps its name and role and is built on the SDK's
// EditControllerEx1 and bus classes.

#include "ComponentWithState.h"
#include "ControllerWithState.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/vst/vstbus.h"

namespace Steinberg {
namespace Vst {

// Threads: initialize, terminate, bus and controller calls come from the host's UI thread;
// process from its audio thread. Nothing here takes a lock; the plug-in that derives from it
// does. Host-supplied indices and pointers are checked and answered with a result code.
class SingleComponentEffect : public ControllerWithState, public ComponentWithState, public IAudioProcessor {
  public:
    SingleComponentEffect();
    ~SingleComponentEffect() override;

    // Buses, added by the plug-in in initialize; the bus lists own them. An audio bus starts
    // inactive until the host activates it, as the SDK's buses do.
    AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    // Null when there is no such bus.
    AudioBus* getAudioInput(int32 index);
    AudioBus* getAudioOutput(int32 index);
    tresult removeAudioBusses();
    tresult removeEventBusses();
    tresult removeAllBusses();

    // The set-up of the last successful setupProcessing (zeros before the first).
    const ProcessSetup& getProcessSetup() const { return processSetup; }

    //--- IPluginBase, for all three roles
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    //--- IComponent
    // No separate controller: hosts find IEditController on this object.
    tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
    tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    // setState/getState of IComponent and of IEditController: see ComponentWithState and
    // ControllerWithState.

    //--- IEditController and IUnitInfo calls whose SDK bodies trust the host's index or pointer
    tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                             String128 string) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamValueByString(ParamID tag, TChar* string,
                                             ParamValue& valueNormalized) SMTG_OVERRIDE;
    tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) SMTG_OVERRIDE;

    //--- IAudioProcessor (process is left to the plug-in)
    // Default: takes the host's arrangements when it names one per bus.
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index,
                                         SpeakerArrangement& arr) SMTG_OVERRIDE;
    // Default: 32-bit samples only.
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
    // Stores the set-up when canProcessSampleSize accepts its sample size.
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

    //--- FUnknown: IComponent and IAudioProcessor besides the controller's interfaces. A null
    // interface id or out-pointer is answered, never followed.
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;

    OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
    REFCOUNT_METHODS(EditControllerEx1)

  protected:
    // Null for a media type or direction that does not exist.
    BusList* getBusList(MediaType type, BusDirection dir);
    // The bus at index: kInvalidArgument for no such index, kResultFalse for an empty slot.
    tresult findBus(MediaType type, BusDirection dir, int32 index, Bus*& bus);

    BusList audioInputs;
    BusList audioOutputs;
    BusList eventInputs;
    BusList eventOutputs;
    ProcessSetup processSetup;
};

} // namespace Vst
} // namespace Steinberg
