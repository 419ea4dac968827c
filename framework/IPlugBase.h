#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "IEditorSurface.h"
#include "IParamSpec.h"
#include "MidiMessage.h"
#include "Preset.h"
#include "RecursiveLock.h"
#include "StateChunk.h"

// One input-output channel pair the plug-in supports.
struct ChannelConfig {
    int inputs = 0;
    int outputs = 0;
};

// The host-independent core of a plug-in: parameters, preset slots, channel routing between host
// buffers and the processing hook, identity, and the one recursive lock that serialises host calls,
// editor calls and audio processing. The concrete plug-in overrides Reset, ParamChanged and
// ProcessBlock; a host adapter implements the abstract host-facing operations.
//
// A state chunk is every parameter's plain value as an 8-byte little-endian double, in index order,
// with no header: 25 parameters make 200 bytes. A preset's data has the same layout.
class IPlugBase {
  public:
    IPlugBase(int paramCount, const char* channelConfigs, int presetCount, const char* effectName,
              const char* productName, const char* makerName, int version, int uniqueId, int makerId,
              int latency, bool doesMidi, bool doesChunks, bool isInstrument, int apiCode);
    virtual ~IPlugBase();

    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // ---- hooks for the concrete plug-in ----
    // Processing set-up may have changed (after every set-up). Takes the lock.
    virtual void Reset();
    // Parameter `index` has a new value. The caller holds the lock or the override takes it.
    virtual void ParamChanged(int index);
    virtual void ParamChangedLocked(int index);
    // One block; the lock is held by the caller. Default: copies the first min(inputs, outputs)
    // channels and zero-fills the other outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    virtual void EditorOpened() {}
    virtual void EditorClosed() {}
    virtual void ActiveChanged(bool active);
    virtual void MidiMessageReceived(const MidiMessage& message) { (void)message; }
    virtual bool NoteNameFor(int noteNumber, char* name);
    virtual bool SaveState(StateChunk* chunk) { return SaveParams(chunk); }
    virtual int LoadState(const StateChunk& chunk, int position) { return LoadParams(chunk, position); }
    virtual int TextEntryColour() { return 0; }
    virtual void ParamHovered(int index);
    virtual bool ParamTakesStoredValue(int index, int presetIndex);
    virtual void EditorResized(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }
    virtual int ApiCode() const { return apiCode_; }
    // How many samples of output the plug-in still produces after its input stops.
    virtual int TailSamples() const { return 0; }

    // ---- host-facing operations the adapter implements ----
    virtual void BeginParamEdit(int index) = 0;
    virtual void DeferredGestureStart(int index) { (void)index; }
    virtual void ParamEdited(int index, double normalized) = 0;
    virtual void EndParamEdit(int index) = 0;
    virtual void AfterInitialize() {}
    virtual void HostContextMenu(int index, int x, int y) { (void)index, (void)x, (void)y; }
    virtual int SamplePosition() = 0;
    virtual double Tempo() = 0;
    virtual void TimeSignature(int* numerator, int* denominator) = 0;
    virtual int HostCode() const { return hostCode_; }
    virtual void ResizeEditor(int width, int height) = 0;
    // Takes ownership of the surface; a null surface is ignored.
    virtual void AttachEditor(IEditorSurface* editor);
    virtual void SetMaxBlockSize(int frames);
    virtual void ChangeLatency(int samples) { latency_ = samples; }
    virtual bool SendMidiMessage(const MidiMessage& message) = 0;
    virtual bool SendMidiMessages(const std::vector<MidiMessage>& messages);
    virtual bool SaveParams(StateChunk* chunk);
    // Applies the whole values present from `position`; returns the position after them, or -1 when the
    // data ran short (parameters without a whole value keep theirs).
    virtual int LoadParams(const StateChunk& chunk, int position);
    virtual bool SavePresetBank(StateChunk* chunk);
    virtual int LoadPresetBank(const StateChunk& chunk, int position);

    // ---- presets ----
    bool LoadPreset(int index);
    // Values are taken in index order; whole-number kinds store the value truncated to an int.
    void AddPreset(const char* name, const double* values, int count);
    void AddEmptyPresets(const char* name, int count);
    std::string NextUserPresetName() const;
    const char* PresetName(int index) const;
    const Preset* GetPreset(int index) const;
    // Any thread: hosts read and select the current preset from their user-interface thread while a
    // block loads one.
    int CurrentPresetIndex() const { return currentPreset_.load(); }
    // Selects a slot without loading it; an index outside the list is ignored.
    void SetCurrentPresetIndex(int index);
    int PresetCount() const { return static_cast<int>(presets_.size()); }

    // ---- editor ----
    void RefreshParamControls();
    // Audio or user-interface thread: value set, host told, engine told, all under the lock.
    void SetParamFromEditor(int index, double normalized);
    void EndParamEditDeferred(int index);
    void FlushDeferredEndEdit();
    IEditorSurface* Editor() const { return editor_.get(); }

    // ---- identity and host ----
    std::string VersionText() const;
    void IdentifyHost(const char* name, int version);
    bool IsSupportedIO(int inputs, int outputs) const;

    // ---- channel routing: connections, then attachment, then running or pass-through ----
    void SetInputConnections(int start, int count, bool connected);
    void SetOutputConnections(int start, int count, bool connected);
    // Connected channels of [start, start + count) take the next of `bufferCount` host buffers; a missing
    // or null buffer leaves the channel on its own (silent) conversion buffer.
    void AttachInputs(int start, int count, double* const* buffers, int bufferCount, int frames);
    void AttachInputs(int start, int count, float* const* buffers, int bufferCount, int frames);
    void AttachOutputs(int start, int count, double* const* buffers, int bufferCount, int frames);
    void AttachOutputs(int start, int count, float* const* buffers, int bufferCount, int frames);
    void RunBlock(int frames);
    void RunBlockFloat(int frames);
    void PassThrough(int frames);
    void PassThroughFloat(int frames);
    void ClearConversionBuffers();

    // ---- accessors ----
    RecursiveLock& Lock() { return lock_; }
    IParamSpec* GetParam(int index);
    const IParamSpec* GetParam(int index) const;
    int ParamCount() const { return static_cast<int>(params_.size()); }
    const std::vector<ChannelConfig>& ChannelConfigs() const { return channelConfigs_; }
    int InputChannelCount() const { return static_cast<int>(inputs_.size()); }
    int OutputChannelCount() const { return static_cast<int>(outputs_.size()); }
    bool IsInputConnected(int channel) const;
    bool IsOutputConnected(int channel) const;
    double SampleRate() const { return sampleRate_; }
    void SetSampleRate(double rate) { sampleRate_ = rate; }
    int BlockSize() const { return blockSize_; }
    int Latency() const { return latency_; }
    bool IsReady() const { return ready_; }
    void SetReady() { ready_ = true; }
    // Any thread: the host sets bypass from its user-interface thread as well as in a block.
    bool IsBypassed() const { return bypassed_.load(); }
    void SetBypassed(bool bypassed) { bypassed_.store(bypassed); }
    bool IsInstrument() const { return isInstrument_; }
    bool DoesMidi() const { return doesMidi_; }
    bool DoesChunks() const { return doesChunks_; }
    const char* EffectName() const { return effectName_; }
    const char* ProductName() const { return productName_; }
    const char* MakerName() const { return makerName_; }
    int UniqueId() const { return uniqueId_; }
    int MakerId() const { return makerId_; }
    int Version() const { return version_; }
    int HostVersion() const { return hostVersion_; }
    std::vector<std::string>& InputBusNames() { return inputBusNames_; }
    std::vector<std::string>& OutputBusNames() { return outputBusNames_; }
    std::vector<const char*>& UnitNames() { return unitNames_; }

  private:
    struct InputChannel {
        bool connected = false;
        bool silent = true; // the buffer holds zeros
        double** slot = nullptr;
        std::vector<double> buffer;
    };
    struct OutputChannel {
        bool connected = false;
        double** slot = nullptr;
        float* floatDestination = nullptr;
        std::vector<double> buffer;
    };

    void CopyAndZero(double** inputs, double** outputs, int frames);
    // Grows every conversion buffer to hold `frames`, keeping slots that point into them valid, so a
    // block longer than announced is still processed without overrun.
    void EnsureConversionCapacity(int frames);
    void ConvertOutputs(int frames);
    // An unconnected input reads its own buffer: make it silence before a block runs, once after it
    // last held host samples.
    void SilenceUnconnectedInputs();

    std::vector<ChannelConfig> channelConfigs_;
    std::vector<std::unique_ptr<IParamSpec>> params_;
    std::vector<Preset> presets_;
    std::atomic<int> currentPreset_{0};
    int pendingEndEdit_ = -1;
    RecursiveLock lock_;
    bool ready_ = false;
    bool isInstrument_ = false;
    std::atomic<bool> bypassed_{false};
    std::vector<const char*> unitNames_;
    double sampleRate_ = 44100.0;
    int latency_ = 0;
    char effectName_[128] = {};
    char productName_[128] = {};
    char makerName_[128] = {};
    int uniqueId_ = 0;
    int makerId_ = 0;
    int version_ = 0;
    int hostCode_ = -1;
    int apiCode_ = 0;
    int hostVersion_ = 0;
    bool doesChunks_ = false;
    bool doesMidi_ = false;
    int blockSize_ = 0;
    std::unique_ptr<IEditorSurface> editor_;
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
    std::vector<InputChannel> inputs_;
    std::vector<OutputChannel> outputs_;
    std::vector<std::string> inputBusNames_;
    std::vector<std::string> outputBusNames_;
};
