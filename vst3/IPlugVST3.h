#pragma once

#include <cstdint>
#include <vector>

#include "IPlugBase.h"

class IPlugVST3View;
#include "SingleComponentEffect.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

// Transport information from the last process context.
struct TimeInfo {
    double tempo = 0.0;
    double samplePosition = 0.0;
    double ppqPosition = 0.0;
    double lastBar = 0.0;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;
    int numerator = 0;
    int denominator = 0;
    bool transportRunning = false;
    bool loopEnabled = false;
};

// Makes an IPlugBase a VST 3 plug-in: one object that is component, audio processor and edit
// controller (parameters, units, program list). Host pointers, indices and sizes are checked and
// answered with result codes; every host call that does work runs inside GuardHostCall, so no exception
// reaches the host (an allocation failure answers kOutOfMemory).
//
// Threads: process runs on the host's audio thread and holds the instance lock for the whole block;
// everything else comes from the host's user-interface thread. State calls take the lock.
class IPlugVST3 : public IPlugBase, public Steinberg::Vst::SingleComponentEffect {
  public:
    IPlugVST3(int paramCount, const char* channelConfigs, int presetCount, const char* effectName,
              const char* productName, const char* makerName, int version, int uniqueId, int makerId,
              int latency, bool doesMidi, bool doesChunks, bool isInstrument, int sideChainChannels);

    // ---- IPluginBase / IComponent ----
    // Once: a second call answers kResultFalse and changes nothing; one that fails leaves the instance
    // as it was before, so it may be tried again.
    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;

    // ---- IAudioProcessor ----
    Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                     Steinberg::int32 numIns,
                                                     Steinberg::Vst::SpeakerArrangement* outputs,
                                                     Steinberg::int32 numOuts) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
    Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

    // ---- IEditController ----
    Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                        Steinberg::Vst::ParamValue normalized,
                                                        Steinberg::Vst::String128 string) SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue PLUGIN_API
    normalizedParamToPlain(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue normalized) SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue PLUGIN_API
    plainParamToNormalized(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue plain) SMTG_OVERRIDE;
    Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                     Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;

    // ---- IEditController2 ----
    Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API openHelp(Steinberg::TBool onlyCheck) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API openAboutBox(Steinberg::TBool onlyCheck) SMTG_OVERRIDE;

    // ---- IUnitInfo ----
    Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                              Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
    Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                     Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                                 Steinberg::int32 programIndex,
                                                 Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId,
                                                 Steinberg::int32 programIndex,
                                                 Steinberg::Vst::CString attributeId,
                                                 Steinberg::Vst::String128 attributeValue) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                       Steinberg::int32 programIndex) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                      Steinberg::int32 programIndex,
                                                      Steinberg::int16 midiPitch,
                                                      Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type,
                                               Steinberg::Vst::BusDirection dir, Steinberg::int32 busIndex,
                                               Steinberg::int32 channel,
                                               Steinberg::Vst::UnitID& unitId) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId,
                                                     Steinberg::int32 programIndex,
                                                     Steinberg::IBStream* data) SMTG_OVERRIDE;

    // ---- host-facing operations of the plug-in base ----
    void BeginParamEdit(int index) override;
    void ParamEdited(int index, double normalized) override;
    void EndParamEdit(int index) override;
    int SamplePosition() override;
    double Tempo() override;
    void TimeSignature(int* numerator, int* denominator) override;
    void ResizeEditor(int width, int height) override;
    void ChangeLatency(int samples) override;
    bool SendMidiMessage(const MidiMessage& message) override;

    // The open editor views, in creation order; a view adds and removes itself.
    void AddView(IPlugVST3View* view) { views_.push_back(view); }
    void RemoveView(IPlugVST3View* view);

    virtual bool IsOfflineRender() const;
    virtual int TransportState() const;
    virtual void GetTimeInfo(TimeInfo* info) const;

    OBJ_METHODS(IPlugVST3, SingleComponentEffect)

  protected:
    // IComponent's setState/getState: the whole component state, under the lock.
    Steinberg::tresult loadComponentState(Steinberg::IBStream* state) override;
    Steinberg::tresult saveComponentState(Steinberg::IBStream* state) override;
    // IEditController's setState/getState: no bytes either way.
    Steinberg::tresult loadControllerState(Steinberg::IBStream* state) override;
    Steinberg::tresult saveControllerState(Steinberg::IBStream* state) override;

  private:
    void AddBuses();
    void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes,
                               Steinberg::Vst::IParameterChanges* outputChanges);
    // Lock held: what a program change or state load is about to replace, and which values it changed.
    void RememberValues();
    bool ValueChanged(int index) const;
    bool AnyValueChanged() const;
    void RouteAndRun(Steinberg::Vst::ProcessData& data);
    void ConnectBuses(const Steinberg::Vst::ProcessData& data);
    void AttachBuses(const Steinberg::Vst::ProcessData& data, int offset, int frames, bool single);
    // The bus's channel pointers advanced by `offset`, in the piece arrays; returns how many there are.
    int PieceBuffers(const Steinberg::Vst::AudioBusBuffers& bus, int offset, bool single, int limit);
    void RegisterParameters();
    int ProgramIndexFromNormalized(double value) const;
    double NormalizedFromProgramIndex(int index) const;

    int sideChainChannels_ = 0;
    bool initialized_ = false;
    Steinberg::Vst::ProcessContext processContext_{};
    // Sized at construction, so a block never allocates for them.
    std::vector<double> valuesBefore_;
    std::vector<float*> piece32_;
    std::vector<double*> piece64_;
    std::vector<IPlugVST3View*> views_;
};
