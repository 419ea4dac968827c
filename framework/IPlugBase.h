#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "ChannelRouter.h"
#include "IEditorSurface.h"
#include "IParamSpec.h"
#include "MidiMessage.h"
#include "PresetStore.h"
#include "RecursiveLock.h"
#include "StateChunk.h"

// One input-output channel pair the plug-in supports.
struct ChannelConfig {
    int inputs = 0;
    int outputs = 0;
};

// The host-independent core of a plug-in: parameters, preset slots (PresetStore), channel routing
// between host buffers and the processing hook (ChannelRouter), identity, and the one recursive lock that
// serialises host calls, editor calls and audio processing. The concrete plug-in overrides Reset,
// ParamChanged and ProcessBlock; a host adapter implements the abstract host-facing operations.
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
    // Threads named are the host's; "lock" is the instance lock, Lock().
    // Processing set-up may have changed. User-interface thread, or the audio thread for the first
    // block; takes the lock; may allocate (an effect sizes its delay memory here).
    virtual void Reset();
    // Parameter `index` has a new value. Audio or user-interface thread; the caller holds the lock or
    // the override takes it. Allocates only where the new value needs memory of another size (an
    // effect's delay lengths); otherwise must not.
    virtual void ParamChanged(int index);
    // ParamChanged under the lock. Any thread; takes the lock; allocates as ParamChanged does.
    virtual void ParamChangedLocked(int index);
    // One block. Audio thread; lock held. Allocates only in the first block after set-up, which calls
    // Reset; otherwise must not. Default: copies the first min(inputs, outputs) channels and zero-fills
    // the other outputs.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // User-interface thread; lock not held; may allocate.
    virtual void EditorOpened() {}
    // User-interface thread; lock not held; may allocate.
    virtual void EditorClosed() {}
    // The host switched processing on or off. User-interface thread; takes the lock; may allocate.
    virtual void ActiveChanged(bool active);
    // Audio thread; lock held; must not allocate.
    virtual void MidiMessageReceived(const MidiMessage& message) { (void)message; }
    // User-interface thread; lock not held; must not allocate.
    virtual bool NoteNameFor(int noteNumber, char* name);
    // User-interface thread; lock held by the caller or taken; may allocate (the chunk grows).
    virtual bool SaveState(StateChunk* chunk) { return SaveParams(chunk); }
    // Audio thread (a preset change) or user-interface thread; lock held by the caller or taken; must
    // not allocate.
    virtual int LoadState(const StateChunk& chunk, int position) { return LoadParams(chunk, position); }
    // User-interface thread; lock not held; must not allocate.
    virtual int TextEntryColour() { return 0; }
    // User-interface thread; takes the lock; must not allocate.
    virtual void ParamHovered(int index);
    // Whether a stored value reaches parameter `index` while a state loads. The thread of LoadState;
    // lock held; must not allocate.
    virtual bool ParamTakesStoredValue(int index, int presetIndex);
    // User-interface thread; lock not held; may allocate.
    virtual void EditorResized(int left, int top, int right, int bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
    }
    // Any thread; no lock; must not allocate.
    virtual int ApiCode() const { return apiCode_; }
    // How many samples of output the plug-in still produces after its input stops. User-interface
    // thread; lock held by the caller; must not allocate.
    virtual int TailSamples() const { return 0; }

    // ---- host-facing operations the adapter implements ----
    // A gesture on parameter `index` starts. User-interface thread; lock may be held; the host's call
    // may allocate.
    virtual void BeginParamEdit(int index) = 0;
    // User-interface thread; lock may be held; must not allocate.
    virtual void DeferredGestureStart(int index) { (void)index; }
    // User-interface thread; lock held; the host's call may allocate.
    virtual void ParamEdited(int index, double normalized) = 0;
    // User-interface thread; lock may be held; the host's call may allocate.
    virtual void EndParamEdit(int index) = 0;
    // The end of the adapter's initialisation. User-interface thread; lock not held; may allocate.
    virtual void AfterInitialize() {}
    // User-interface thread; lock not held; may allocate.
    virtual void HostContextMenu(int index, int x, int y) { (void)index, (void)x, (void)y; }
    // From the last block's transport: audio thread with the lock held, or the user-interface thread;
    // must not allocate.
    virtual int SamplePosition() = 0;
    // As SamplePosition.
    virtual double Tempo() = 0;
    // As SamplePosition.
    virtual void TimeSignature(int* numerator, int* denominator) = 0;
    // Any thread; no lock; must not allocate.
    virtual int HostCode() const { return hostCode_; }
    // User-interface thread; lock not held; may allocate.
    virtual void ResizeEditor(int width, int height) = 0;
    // Takes ownership of the surface; a null surface is ignored. A surface it replaces has its window
    // closed and is deleted. User-interface thread; takes the lock; may allocate.
    virtual void AttachEditor(IEditorSurface* editor);
    // Sizes the conversion buffers. User-interface thread, while the host does not process; lock not
    // taken; allocates.
    virtual void SetMaxBlockSize(int frames);
    // User-interface thread; lock not held; the host's call may allocate.
    virtual void ChangeLatency(int samples) { latency_ = samples; }
    // Audio thread; lock held; must not allocate.
    virtual bool SendMidiMessage(const MidiMessage& message) = 0;
    // As SendMidiMessage, for each message in order.
    virtual bool SendMidiMessages(const std::vector<MidiMessage>& messages);
    // Every parameter's plain value. User-interface thread; takes the lock; may allocate.
    virtual bool SaveParams(StateChunk* chunk);
    // Applies the whole values present from `position`; returns the position after them, or -1 when the
    // data ran short (parameters without a whole value keep theirs). The thread of LoadState; takes the
    // lock; must not allocate.
    virtual int LoadParams(const StateChunk& chunk, int position);
    // Every preset slot. User-interface thread; takes the lock; may allocate.
    virtual bool SavePresetBank(StateChunk* chunk);
    // User-interface thread; takes the lock; may allocate.
    virtual int LoadPresetBank(const StateChunk& chunk, int position);

    // ---- presets ----
    bool LoadPreset(int index);
    // Values are taken in index order; whole-number kinds store the value rounded half away from zero.
    void AddPreset(const char* name, const double* values, int count);
    void AddEmptyPresets(const char* name, int count) { presets_.AddEmpty(name, count); }
    std::string NextUserPresetName() const { return presets_.NextUserPresetName(); }
    const char* PresetName(int index) const { return presets_.Name(index); }
    const Preset* GetPreset(int index) const { return presets_.Get(index); }
    int CurrentPresetIndex() const { return presets_.Current(); }
    // Selects a slot without loading it; an index outside the list is ignored.
    void SetCurrentPresetIndex(int index) { presets_.SetCurrent(index); }
    int PresetCount() const { return presets_.Count(); }

    // ---- editor ----
    void RefreshParamControls();
    // User-interface thread (the host's performEdit is called): value set, host told, engine told, all
    // under the lock.
    void SetParamFromEditor(int index, double normalized);
    void EndParamEditDeferred(int index);
    void FlushDeferredEndEdit();
    IEditorSurface* Editor() const { return editor_.get(); }

    // ---- identity and host ----
    std::string VersionText() const;
    void IdentifyHost(const char* name, int version);
    bool IsSupportedIO(int inputs, int outputs) const;

    // ---- channel routing: connections, then attachment, then running or pass-through ----
    // ChannelRouter holds the routing and says what each call does; these keep the plug-in's names.
    void SetInputConnections(int start, int count, bool connected) {
        router_.SetInputConnections(start, count, connected);
    }
    void SetOutputConnections(int start, int count, bool connected) {
        router_.SetOutputConnections(start, count, connected);
    }
    void AttachInputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
        router_.AttachInputs(start, count, buffers, bufferCount, frames);
    }
    void AttachInputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
        router_.AttachInputs(start, count, buffers, bufferCount, frames);
    }
    void AttachOutputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
        router_.AttachOutputs(start, count, buffers, bufferCount, frames);
    }
    void AttachOutputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
        router_.AttachOutputs(start, count, buffers, bufferCount, frames);
    }
    void RunBlock(int frames);
    void RunBlockFloat(int frames);
    void PassThrough(int frames) { router_.PassThrough(frames); }
    void PassThroughFloat(int frames);
    void ClearConversionBuffers() { router_.ClearConversionBuffers(); }

    // ---- accessors ----
    RecursiveLock& Lock() { return lock_; }
    IParamSpec* GetParam(int index);
    const IParamSpec* GetParam(int index) const;
    int ParamCount() const { return static_cast<int>(params_.size()); }
    const std::vector<ChannelConfig>& ChannelConfigs() const { return channelConfigs_; }
    int InputChannelCount() const { return router_.InputCount(); }
    int OutputChannelCount() const { return router_.OutputCount(); }
    bool IsInputConnected(int channel) const { return router_.IsInputConnected(channel); }
    bool IsOutputConnected(int channel) const { return router_.IsOutputConnected(channel); }
    double SampleRate() const { return sampleRate_; }
    void SetSampleRate(double rate) { sampleRate_ = rate; }
    int BlockSize() const { return router_.BlockSize(); }
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
    std::vector<ChannelConfig> channelConfigs_;
    std::vector<std::unique_ptr<IParamSpec>> params_;
    PresetStore presets_;
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
    std::unique_ptr<IEditorSurface> editor_;
    ChannelRouter router_;
    std::vector<std::string> inputBusNames_;
    std::vector<std::string> outputBusNames_;
};
