#pragma once

#include <array>
#include <atomic>

#include "EngineParams.h"
#include "IPlugVST3.h"
#include "ReverbEngine.h"

class IBypass;
class IGraphics;
class IGraphicsHeadless;

// The Halvane reverb as a VST 3 plug-in: its identity, 25 parameters, its editor and factory presets,
// and the reverb engine driven through the plug-in base's three hooks.
class CLS_HALVANE : public IPlugVST3 {
  public:
    CLS_HALVANE();
    // Closes an open editor window while the whole plug-in can still hear its last end of gesture.
    ~CLS_HALVANE() override;

    // User-interface or audio thread; take the lock themselves (re-entrant).
    void Reset() override;
    void ParamChanged(int index) override;
    // Audio thread, lock held by the caller.
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // Pre-delay plus the time the reverb rings, in samples at the current rate.
    int TailSamples() const override;
    // A surface other than the effect's own takes its place (the lamp is then no longer reported).
    void AttachEditor(IEditorSurface* editor) override;

    // What the activity lamp shows: true while the reverb processes, false while the silence gate
    // passes audio through. Written by the audio thread, read by the editor.
    bool IsProcessing() const { return processing_.load(std::memory_order_relaxed); }

    // For inspection; hold Lock() while using it.
    const ReverbEngine& Engine() const { return engine_; }
    // The effect's own editor surface, built with the instance; null once another surface replaced it.
    IGraphics* Surface() const { return surface_; }
    // Replaces the editor with the same editor on a surface without a window (closing any open one),
    // for programs that draw it themselves. User-interface thread.
    IGraphicsHeadless* UseWindowlessEditor();

  private:
    std::array<double, kNumParams> CurrentValues() const;
    void DefineParameters();
    void MakePresets();
    void InstallEditor(IGraphics* surface, IBypass* lamp);

    ReverbEngine engine_;
    std::atomic<bool> processing_{true};
    IGraphics* surface_ = nullptr; // owned by the plug-in base once attached
    IBypass* lamp_ = nullptr;      // owned by the surface
};
