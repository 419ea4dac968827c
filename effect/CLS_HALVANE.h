#pragma once

#include <array>
#include <atomic>

#include "EngineParams.h"
#include "IPlugBase.h"
#include "ReverbEngine.h"

// The Halvane reverb: its identity, 25 parameters and factory presets on the plug-in base, and the
// reverb engine driven through the base's three hooks. Host-facing operations stay abstract here;
// a host adapter supplies them.
class CLS_HALVANE : public IPlugBase {
public:
    CLS_HALVANE();

    // User-interface or audio thread; take the lock themselves (re-entrant).
    void Reset() override;
    void ParamChanged(int index) override;
    // Audio thread, lock held by the caller.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

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
