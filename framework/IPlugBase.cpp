#include "IPlugBase.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "HostIdentification.h"

namespace {

// Reads "%d-%d" pairs separated by blanks; a number that does not parse stays 0.
std::vector<ChannelConfig> ParseChannelConfigs(const char* text) {
    std::vector<ChannelConfig> configs;
    if (!text)
        return configs;
    const char* p = text;
    for (;;) {
        ChannelConfig config;
        std::sscanf(p, "%d-%d", &config.inputs, &config.outputs);
        configs.push_back(config);
        const char* blank = std::strchr(p, ' ');
        if (!blank)
            break;
        p = blank + 1;
    }
    return configs;
}

// Hands each connected channel of [start, start + count) the next of the host's buffers, or null when
// the host gave fewer than it announced; unconnected channels consume none.
template <typename Channel, typename Sample, typename Attach>
void ForEachConnected(std::vector<Channel>& channels, int start, int count, Sample* const* buffers,
                      int bufferCount, Attach attach) {
    int end = std::min(start + std::max(count, 0), static_cast<int>(channels.size()));
    int next = 0;
    for (int i = std::max(start, 0); i < end; ++i) {
        Channel& c = channels[static_cast<size_t>(i)];
        if (!c.connected)
            continue;
        attach(c, buffers && next < bufferCount ? buffers[next] : nullptr);
        ++next;
    }
}

} // namespace

IPlugBase::IPlugBase(int paramCount, const char* channelConfigs, int presetCount, const char* effectName,
                     const char* productName, const char* makerName, int version, int uniqueId, int makerId,
                     int latency, bool doesMidi, bool doesChunks, bool isInstrument, int apiCode)
    : isInstrument_(isInstrument), latency_(latency), uniqueId_(uniqueId), makerId_(makerId),
      version_(version), apiCode_(apiCode), doesChunks_(doesChunks), doesMidi_(doesMidi) {
    for (int i = 0; i < paramCount; ++i)
        params_.push_back(std::make_unique<IParamSpec>());

    presets_.resize(static_cast<size_t>(std::max(presetCount, 0)));
    for (size_t i = 0; i < presets_.size(); ++i) {
        std::snprintf(presets_[i].name, sizeof(presets_[i].name), "- %d -", static_cast<int>(i) + 1);
    }

    CopyText(effectName_, effectName, sizeof(effectName_));
    CopyText(productName_, productName, sizeof(productName_));
    CopyText(makerName_, makerName, sizeof(makerName_));

    channelConfigs_ = ParseChannelConfigs(channelConfigs);
    int maxInputs = 0, maxOutputs = 0;
    for (const ChannelConfig& c : channelConfigs_) {
        maxInputs = std::max(maxInputs, c.inputs);
        maxOutputs = std::max(maxOutputs, c.outputs);
    }
    inputPointers_.assign(static_cast<size_t>(maxInputs), nullptr);
    outputPointers_.assign(static_cast<size_t>(maxOutputs), nullptr);
    inputs_.resize(inputPointers_.size());
    outputs_.resize(outputPointers_.size());
    for (size_t i = 0; i < inputs_.size(); ++i)
        inputs_[i].slot = &inputPointers_[i];
    for (size_t i = 0; i < outputs_.size(); ++i)
        outputs_[i].slot = &outputPointers_[i];
}

IPlugBase::~IPlugBase() {
    editor_.reset();
}

// ---- hooks ----

void IPlugBase::Reset() {
    LockGuard guard(lock_);
}

void IPlugBase::ParamChanged(int) {
    LockGuard guard(lock_);
}

void IPlugBase::ParamChangedLocked(int index) {
    LockGuard guard(lock_);
    ParamChanged(index);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    CopyAndZero(inputs, outputs, frames);
}

void IPlugBase::ActiveChanged(bool) {
    LockGuard guard(lock_);
}

bool IPlugBase::NoteNameFor(int, char* name) {
    if (name)
        name[0] = '\0';
    return false;
}

void IPlugBase::ParamHovered(int) {
    LockGuard guard(lock_);
}

bool IPlugBase::ParamTakesStoredValue(int, int) {
    LockGuard guard(lock_);
    return true;
}

bool IPlugBase::SendMidiMessages(const std::vector<MidiMessage>& messages) {
    bool all = true;
    for (const MidiMessage& m : messages)
        all = SendMidiMessage(m) && all;
    return all;
}

// ---- state ----

bool IPlugBase::SaveParams(StateChunk* chunk) {
    if (!chunk)
        return false;
    LockGuard guard(lock_);
    for (const auto& param : params_)
        chunk->Put(param->Value());
    return !chunk->Empty();
}

int IPlugBase::LoadParams(const StateChunk& chunk, int position) {
    LockGuard guard(lock_);
    for (int i = 0; i < ParamCount() && position >= 0; ++i) {
        double v = 0.0;
        position = chunk.Get(&v, position);
        if (position < 0)
            break; // no whole value left: this and later parameters keep theirs
        if (ParamTakesStoredValue(i, currentPreset_.load())) {
            IParamSpec* param = params_[static_cast<size_t>(i)].get();
            param->SetValue(param->Clamped(v));
            ParamChanged(i);
        }
    }
    return position;
}

bool IPlugBase::SavePresetBank(StateChunk* chunk) {
    if (!chunk)
        return false;
    LockGuard guard(lock_);
    for (const Preset& preset : presets_) {
        chunk->PutStr(preset.name);
        chunk->Put(static_cast<uint8_t>(preset.initialised ? 1 : 0));
        if (preset.initialised)
            chunk->PutChunk(preset.data);
    }
    return true;
}

int IPlugBase::LoadPresetBank(const StateChunk& chunk, int position) {
    LockGuard guard(lock_);
    for (Preset& preset : presets_) {
        if (position < 0)
            break;
        std::string name;
        position = chunk.GetStr(&name, position);
        if (position < 0)
            break;
        CopyText(preset.name, name.c_str(), sizeof(preset.name));
        uint8_t initialised = 0;
        position = chunk.Get(&initialised, position);
        if (position < 0)
            break;
        preset.initialised = initialised != 0;
        if (preset.initialised) {
            position = LoadState(chunk, position);
            if (position >= 0) {
                preset.data.Clear();
                SaveState(&preset.data);
            }
        }
    }
    LoadPreset(currentPreset_.load());
    return position;
}

// ---- presets ----

bool IPlugBase::LoadPreset(int index) {
    if (index < 0 || index >= PresetCount())
        return false;
    LockGuard guard(lock_);
    Preset& preset = presets_[static_cast<size_t>(index)];
    if (!preset.initialised) {
        preset.initialised = true;
        CopyText(preset.name, NextUserPresetName().c_str(), sizeof(preset.name));
        currentPreset_ = index;
        RefreshParamControls();
        return true;
    }
    currentPreset_ = index; // first, so ParamTakesStoredValue sees the new preset
    if (LoadState(preset.data, 0) > 0) {
        RefreshParamControls();
        return true;
    }
    return false;
}

void IPlugBase::AddPreset(const char* name, const double* values, int count) {
    auto free =
        std::find_if(presets_.begin(), presets_.end(), [](const Preset& p) { return !p.initialised; });
    if (free == presets_.end())
        return;
    free->initialised = true;
    CopyText(free->name, name, sizeof(free->name));
    for (int i = 0; i < ParamCount(); ++i) {
        const IParamSpec& param = *params_[static_cast<size_t>(i)];
        double v = values && i < count ? values[i] : param.Default();
        if (param.Type() != kTypeDouble)
            v = RoundHalfAwayFromZero(v);
        free->data.Put(v);
    }
}

void IPlugBase::AddEmptyPresets(const char* name, int count) {
    for (int n = 0; n < count; ++n) {
        auto free =
            std::find_if(presets_.begin(), presets_.end(), [](const Preset& p) { return !p.initialised; });
        if (free == presets_.end())
            return;
        free->initialised = true;
        CopyText(free->name, name ? name : "Default", sizeof(free->name));
    }
}

std::string IPlugBase::NextUserPresetName() const {
    int count = 0;
    for (const Preset& p : presets_) {
        if (std::strstr(p.name, "user preset"))
            ++count;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "%s %d", "user preset", count + 1);
    return name;
}

void IPlugBase::SetCurrentPresetIndex(int index) {
    if (index >= 0 && index < PresetCount())
        currentPreset_ = index;
}

const char* IPlugBase::PresetName(int index) const {
    const Preset* preset = GetPreset(index);
    return preset ? preset->name : "";
}

const Preset* IPlugBase::GetPreset(int index) const {
    if (index < 0 || index >= PresetCount())
        return nullptr;
    return &presets_[static_cast<size_t>(index)];
}

// ---- editor ----

void IPlugBase::RefreshParamControls() {
    if (!editor_)
        return;
    for (int i = 0; i < ParamCount(); ++i)
        editor_->SetParameterFromPlug(i, params_[static_cast<size_t>(i)]->Value(), false);
}

void IPlugBase::AttachEditor(IEditorSurface* editor) {
    if (!editor)
        return;
    LockGuard guard(lock_);
    for (int i = 0; i < ParamCount(); ++i) {
        editor->SetParameterFromPlug(i, params_[static_cast<size_t>(i)]->NormalizedValue(), true);
    }
    editor->PrepareDraw();
    editor_.reset(editor);
}

void IPlugBase::SetParamFromEditor(int index, double normalized) {
    LockGuard guard(lock_);
    IParamSpec* param = GetParam(index);
    if (!param)
        return;
    normalized = std::min(std::max(normalized, 0.0), 1.0);
    param->SetFromNormalized(normalized);
    ParamEdited(index, normalized);
    ParamChanged(index);
}

void IPlugBase::EndParamEditDeferred(int index) {
    LockGuard guard(lock_);
    if (editor_) {
        pendingEndEdit_ = index;
        editor_->SetEndEditCountdown(std::max(1, editor_->FrameRate() / 2));
    } else {
        EndParamEdit(index);
    }
}

void IPlugBase::FlushDeferredEndEdit() {
    LockGuard guard(lock_);
    if (editor_)
        editor_->SetEndEditCountdown(0);
    if (pendingEndEdit_ >= 0) {
        int index = pendingEndEdit_;
        pendingEndEdit_ = -1;
        EndParamEdit(index);
    }
}

// ---- identity and host ----

std::string IPlugBase::VersionText() const {
    char text[32];
    std::snprintf(text, sizeof(text), "v%d.%02d", version_ >> 16, (version_ >> 8) & 0xFF);
    return text;
}

void IPlugBase::IdentifyHost(const char* name, int version) {
    hostCode_ = HostCodeFromName(name);
    hostVersion_ = version;
}

bool IPlugBase::IsSupportedIO(int inputs, int outputs) const {
    return std::any_of(channelConfigs_.begin(), channelConfigs_.end(), [&](const ChannelConfig& c) {
        return (inputs < 0 || inputs == c.inputs) && (outputs < 0 || outputs == c.outputs);
    });
}

// ---- channel routing ----

void IPlugBase::SetMaxBlockSize(int frames) {
    if (frames == blockSize_)
        return;
    size_t size = static_cast<size_t>(std::max(frames, 0));
    auto resize = [size](auto& channel) {
        bool own = *channel.slot == channel.buffer.data();
        channel.buffer.assign(size, 0.0);
        if (own)
            *channel.slot = channel.buffer.data();
    };
    for (InputChannel& c : inputs_) {
        resize(c);
        c.silent = true;
    }
    for (OutputChannel& c : outputs_)
        resize(c);
    blockSize_ = frames;
}

void IPlugBase::EnsureConversionCapacity(int frames) {
    size_t size = static_cast<size_t>(std::max(frames, 1));
    auto grow = [size](auto& channel) {
        if (channel.buffer.size() >= size) {
            if (!*channel.slot)
                *channel.slot = channel.buffer.data();
            return;
        }
        bool own = !*channel.slot || *channel.slot == channel.buffer.data();
        channel.buffer.resize(size, 0.0);
        if (own)
            *channel.slot = channel.buffer.data();
    };
    for (InputChannel& c : inputs_)
        grow(c);
    for (OutputChannel& c : outputs_)
        grow(c);
}

void IPlugBase::ClearConversionBuffers() {
    for (InputChannel& c : inputs_) {
        std::fill(c.buffer.begin(), c.buffer.end(), 0.0);
        c.silent = true;
    }
    for (OutputChannel& c : outputs_)
        std::fill(c.buffer.begin(), c.buffer.end(), 0.0);
}

void IPlugBase::SetInputConnections(int start, int count, bool connected) {
    int end = std::min(start + std::max(count, 0), InputChannelCount());
    EnsureConversionCapacity(blockSize_);
    for (int i = std::max(start, 0); i < end; ++i) {
        InputChannel& c = inputs_[static_cast<size_t>(i)];
        // An unconnected input reads its own buffer, silenced before the block runs.
        if (!connected)
            *c.slot = c.buffer.data();
        c.connected = connected;
    }
}

void IPlugBase::SetOutputConnections(int start, int count, bool connected) {
    int end = std::min(start + std::max(count, 0), OutputChannelCount());
    EnsureConversionCapacity(blockSize_);
    for (int i = std::max(start, 0); i < end; ++i) {
        OutputChannel& c = outputs_[static_cast<size_t>(i)];
        c.connected = connected;
        if (!connected) {
            *c.slot = c.buffer.data();
            c.floatDestination = nullptr;
        }
    }
}

void IPlugBase::AttachInputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
    EnsureConversionCapacity(frames);
    ForEachConnected(inputs_, start, count, buffers, bufferCount, [](InputChannel& c, double* host) {
        if (!host && !c.silent) {
            std::fill(c.buffer.begin(), c.buffer.end(), 0.0);
            c.silent = true;
        }
        *c.slot = host ? host : c.buffer.data();
    });
}

void IPlugBase::AttachInputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
    EnsureConversionCapacity(frames);
    ForEachConnected(inputs_, start, count, buffers, bufferCount,
                     [frames](InputChannel& c, const float* host) {
                         if (host) {
                             for (int s = 0; s < frames; ++s)
                                 c.buffer[static_cast<size_t>(s)] = host[s];
                             c.silent = false;
                         } else if (!c.silent) {
                             std::fill(c.buffer.begin(), c.buffer.end(), 0.0);
                             c.silent = true;
                         }
                         *c.slot = c.buffer.data();
                     });
}

void IPlugBase::AttachOutputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
    EnsureConversionCapacity(frames);
    ForEachConnected(outputs_, start, count, buffers, bufferCount, [](OutputChannel& c, double* host) {
        *c.slot = host ? host : c.buffer.data();
        c.floatDestination = nullptr;
    });
}

void IPlugBase::AttachOutputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
    EnsureConversionCapacity(frames);
    ForEachConnected(outputs_, start, count, buffers, bufferCount, [](OutputChannel& c, float* host) {
        c.floatDestination = host;
        *c.slot = c.buffer.data();
    });
}

void IPlugBase::RunBlock(int frames) {
    EnsureConversionCapacity(frames);
    SilenceUnconnectedInputs();
    if (ready_)
        ProcessBlock(inputPointers_.data(), outputPointers_.data(), frames);
}

void IPlugBase::RunBlockFloat(int frames) {
    RunBlock(frames);
    ConvertOutputs(frames);
}

void IPlugBase::PassThrough(int frames) {
    EnsureConversionCapacity(frames);
    SilenceUnconnectedInputs();
    CopyAndZero(inputPointers_.data(), outputPointers_.data(), frames);
}

void IPlugBase::PassThroughFloat(int frames) {
    PassThrough(frames);
    ConvertOutputs(frames);
}

void IPlugBase::CopyAndZero(double** inputs, double** outputs, int frames) {
    if (frames <= 0 || !inputs || !outputs)
        return;
    size_t bytes = static_cast<size_t>(frames) * sizeof(double);
    int copied = std::min(InputChannelCount(), OutputChannelCount());
    for (int i = 0; i < OutputChannelCount(); ++i) {
        if (!outputs[i])
            continue;
        if (i < copied && inputs[i]) {
            if (outputs[i] != inputs[i])
                std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

void IPlugBase::SilenceUnconnectedInputs() {
    for (InputChannel& c : inputs_) {
        if (!c.connected && !c.silent) {
            std::fill(c.buffer.begin(), c.buffer.end(), 0.0);
            c.silent = true;
        }
    }
}

void IPlugBase::ConvertOutputs(int frames) {
    for (OutputChannel& c : outputs_) {
        if (!c.connected || !c.floatDestination || !*c.slot)
            continue;
        const double* source = *c.slot;
        for (int s = 0; s < frames; ++s)
            c.floatDestination[s] = static_cast<float>(source[s]);
    }
}

// ---- accessors ----

IParamSpec* IPlugBase::GetParam(int index) {
    if (index < 0 || index >= ParamCount())
        return nullptr;
    return params_[static_cast<size_t>(index)].get();
}

const IParamSpec* IPlugBase::GetParam(int index) const {
    if (index < 0 || index >= ParamCount())
        return nullptr;
    return params_[static_cast<size_t>(index)].get();
}

bool IPlugBase::IsInputConnected(int channel) const {
    return channel >= 0 && channel < InputChannelCount() && inputs_[static_cast<size_t>(channel)].connected;
}

bool IPlugBase::IsOutputConnected(int channel) const {
    return channel >= 0 && channel < OutputChannelCount() && outputs_[static_cast<size_t>(channel)].connected;
}
