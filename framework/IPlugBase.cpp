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

int MostChannels(const std::vector<ChannelConfig>& configs, int ChannelConfig::*side) {
    int most = 0;
    for (const ChannelConfig& c : configs)
        most = std::max(most, c.*side);
    return most;
}

} // namespace

IPlugBase::IPlugBase(int paramCount, const char* channelConfigs, int presetCount, const char* effectName,
                     const char* productName, const char* makerName, int version, int uniqueId, int makerId,
                     int latency, bool doesMidi, bool doesChunks, bool isInstrument, int apiCode)
    : channelConfigs_(ParseChannelConfigs(channelConfigs)), presets_(presetCount),
      isInstrument_(isInstrument), latency_(latency), uniqueId_(uniqueId), makerId_(makerId),
      version_(version), apiCode_(apiCode), doesChunks_(doesChunks), doesMidi_(doesMidi),
      router_(MostChannels(channelConfigs_, &ChannelConfig::inputs),
              MostChannels(channelConfigs_, &ChannelConfig::outputs)) {
    for (int i = 0; i < paramCount; ++i)
        params_.push_back(std::make_unique<IParamSpec>());

    CopyText(effectName_, effectName, sizeof(effectName_));
    CopyText(productName_, productName, sizeof(productName_));
    CopyText(makerName_, makerName, sizeof(makerName_));
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
    ChannelRouter::CopyAndZero(inputs, InputChannelCount(), outputs, OutputChannelCount(), frames);
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
        if (ParamTakesStoredValue(i, presets_.Current())) {
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
    presets_.SaveBank(chunk);
    return true;
}

int IPlugBase::LoadPresetBank(const StateChunk& chunk, int position) {
    LockGuard guard(lock_);
    for (int i = 0; i < presets_.Count(); ++i) {
        Preset& preset = *presets_.Get(i);
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
    LoadPreset(presets_.Current());
    return position;
}

// ---- presets ----

bool IPlugBase::LoadPreset(int index) {
    if (index < 0 || index >= PresetCount())
        return false;
    LockGuard guard(lock_);
    Preset& preset = *presets_.Get(index);
    if (!preset.initialised) {
        preset.initialised = true;
        CopyText(preset.name, NextUserPresetName().c_str(), sizeof(preset.name));
        presets_.SetCurrent(index);
        RefreshParamControls();
        return true;
    }
    presets_.SetCurrent(index); // first, so ParamTakesStoredValue sees the new preset
    if (LoadState(preset.data, 0) > 0) {
        RefreshParamControls();
        return true;
    }
    return false;
}

void IPlugBase::AddPreset(const char* name, const double* values, int count) {
    // The values first, then the chunk in one piece: a plug-in makes every factory preset when created.
    std::vector<double> stored(params_.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        const IParamSpec& param = *params_[i];
        double v = values && static_cast<int>(i) < count ? values[i] : param.Default();
        if (param.Type() != kTypeDouble)
            v = RoundHalfAwayFromZero(v);
        stored[i] = v;
    }
    StateChunk data;
    data.PutBytes(stored.data(), stored.size() * sizeof(double));
    presets_.AddMade(name, std::move(data));
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
    if (editor_.get() == editor)
        return;
    if (editor_)
        editor_->CloseWindow(); // the replaced surface's window goes with it
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
    router_.SetMaxBlockSize(frames);
}

void IPlugBase::RunBlock(int frames) {
    router_.EnsureCapacity(frames);
    router_.SilenceUnconnectedInputs();
    if (ready_)
        ProcessBlock(router_.Inputs(), router_.Outputs(), frames);
}

void IPlugBase::RunBlockFloat(int frames) {
    RunBlock(frames);
    router_.ConvertOutputs(frames);
}

void IPlugBase::PassThroughFloat(int frames) {
    PassThrough(frames);
    router_.ConvertOutputs(frames);
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
