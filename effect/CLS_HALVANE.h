#pragma once

#include <array>
#include <atomic>

#include "EngineParams.h"
#include "IPlugVST3.h"
#include "ReverbEngine.h"

// The Halvane reverb as a VST 3 plug-in: its identity, 25 parameters and factory presets, and the
// reverb engine driven through the plug-in base's three hooks.
class CLS_HALVANE : public IPlugVST3 {
  public:
    CLS_HALVANE();

    // User-interface or audio thread; take the lock themselves (re-entrant).
    void Reset() override;
    void ParamChanged(int index) override;
    // Audio thread, lock held by the caller.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // Pre-delay plus the time the reverb rings, in samples at the current rate.
    int TailSamples() const override;

    // What the activity lamp shows: true while the reverb processes, false while the silence gate
    // passes audio through. Written by the audio thread, read by the editor.
    bool IsProcessing() const { return processing_.load(std::memory_order_relaxed); }

    // For inspection; hold Lock() while using it.
    const ReverbEngine& Engine() const { return engine_; }

  private:
    std::array<double, kNumParams> CurrentValues() const;
    void DefineParameters();
    void MakePresets();

    ReverbEngine engine_;
    std::atomic<bool> processing_{true};
};
