#include "CLS_HALVANE.h"

#include <climits>
#include <cmath>

#include "EditorLayout.h"
#include "EffectIdentity.h"
#include "FactoryPresets.h"
#include "HalvaneEditor.h"
#include "IBypass.h"
#include "IGraphicsHeadless.h"
#include "ModuleHandle.h"
#include "ParamFromTable.h"

using namespace EffectIdentity;

CLS_HALVANE::CLS_HALVANE()
    : IPlugVST3(kNumParams, kChannelConfigs, kPresetSlots, kEffectName, kProductName, kMakerName, kVersion,
                kUniqueId, kMakerId, kLatency, false, false, false, kSideChainChannels) {
    DefineParameters();
    IBypass* lamp = nullptr;
    IGraphics* surface = BuildHalvaneEditor(this, GetModuleHandleForResources(), &lamp);
    InstallEditor(surface, lamp);
    MakePresets();
}

CLS_HALVANE::~CLS_HALVANE() {
    if (IEditorSurface* editor = Editor())
        editor->CloseWindow();
}

IGraphicsHeadless* CLS_HALVANE::UseWindowlessEditor() {
    auto* surface = new IGraphicsHeadless(this, EditorLayout::kWidth, EditorLayout::kHeight, 0,
                                          GetModuleHandleForResources());
    IBypass* lamp = nullptr;
    AddHalvaneControls(*surface, this, &lamp);
    InstallEditor(surface, lamp);
    return surface;
}

void CLS_HALVANE::InstallEditor(IGraphics* surface, IBypass* lamp) {
    LockGuard guard(Lock()); // the audio thread switches the lamp under it
    IPlugVST3::AttachEditor(surface);
    surface_ = surface;
    lamp_ = lamp;
}

void CLS_HALVANE::AttachEditor(IEditorSurface* editor) {
    LockGuard guard(Lock());
    if (editor && editor != surface_) {
        surface_ = nullptr;
        lamp_ = nullptr;
    }
    IPlugVST3::AttachEditor(editor);
}

void CLS_HALVANE::DefineParameters() {
    for (int i = 0; i < kNumParams; ++i)
        DefineParam(*GetParam(i), ParamTable()[static_cast<size_t>(i)]);
}

void CLS_HALVANE::MakePresets() {
    // The default slot stores every default, so recalling it restores them all.
    std::array<double, kNumParams> defaults{};
    for (int i = 0; i < kNumParams; ++i)
        defaults[static_cast<size_t>(i)] = GetParam(i)->Default();
    AddPreset(kDefaultPresetName, defaults.data(), kNumParams);

    for (int i = 0; i < kFactoryPresetCount; ++i) {
        FactoryPreset preset = FactoryPresetAt(i);
        AddPreset(preset.name, preset.values.data(), kNumParams);
    }
}

std::array<double, kNumParams> CLS_HALVANE::CurrentValues() const {
    std::array<double, kNumParams> values{};
    for (int i = 0; i < kNumParams; ++i)
        values[static_cast<size_t>(i)] = GetParam(i)->Value();
    return values;
}

void CLS_HALVANE::Reset() {
    LockGuard guard(Lock());
    std::array<double, kNumParams> values = CurrentValues();
    engine_.Reset(SampleRate(), values.data());
}

void CLS_HALVANE::ParamChanged(int index) {
    LockGuard guard(Lock());
    const IParamSpec* param = GetParam(index);
    if (!param || !engine_.ParamChanged(index, param->Value()))
        return;

    if (index == kStereo && Editor()) {
        // "Mono" places the reverb with Mono Position; every other mode with Stereo Position.
        bool mono = engine_.StereoMode() == 0;
        Editor()->HideParamControls(kMonoPosition, !mono);
        Editor()->HideParamControls(kStereoPosition, mono);
    }
    if (!IsReady() && engine_.AllParamsReceived())
        SetReady();
}

void CLS_HALVANE::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (!engine_.Prepared()) {
        engine_.BeginFirstBlock();
        Reset();
    }
    engine_.ProcessBlock(inputs, outputs, frames);
    const bool processing = engine_.IsProcessing();
    processing_.store(processing, std::memory_order_relaxed);
    if (lamp_)
        lamp_->SetOn(processing);
}

int CLS_HALVANE::TailSamples() const {
    // Time is the nominal 72 dB decay, but the loop all-passes lengthen every pass beyond the delay the
    // decay gains assume: measured, the tail rings above -60 dBFS for up to about 1.8 x Time.
    constexpr double kRingFactor = 2.0;
    double seconds = GetParam(kPreDelay)->Value() * 0.001 + GetParam(kTime)->Value() * kRingFactor;
    double samples = std::round(seconds * SampleRate());
    if (!(samples > 0.0))
        return 0;
    return samples < static_cast<double>(INT_MAX) ? static_cast<int>(samples) : INT_MAX;
}
