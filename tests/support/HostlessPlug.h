#pragma once

#include <utility>
#include <vector>

#include "IPlugBase.h"

// Supplies the host-facing operations a host adapter would, and records what the plug-in tells the host.
template <class Plug> class HostlessPlug : public Plug {
  public:
    using Plug::Plug;

    struct Edit {
        char kind; // 'b' begin, 'p' perform, 'e' end
        int index;
        double value;
    };
    std::vector<Edit> edits;

    void BeginParamEdit(int index) override { edits.push_back({'b', index, 0.0}); }
    void ParamEdited(int index, double normalized) override { edits.push_back({'p', index, normalized}); }
    void EndParamEdit(int index) override { edits.push_back({'e', index, 0.0}); }
    int SamplePosition() override { return 0; }
    double Tempo() override { return 120.0; }
    void TimeSignature(int* numerator, int* denominator) override {
        *numerator = 4;
        *denominator = 4;
    }
    void ResizeEditor(int, int) override {}
    bool SendMidiMessage(const MidiMessage&) override { return false; }
};

// An editor surface that records what the plug-in asks of it.
class RecordingEditor : public IEditorSurface {
  public:
    struct Push {
        int index;
        double value;
        bool normalized;
    };
    std::vector<Push> pushes;
    std::vector<std::pair<int, bool>> hidden;
    int countdown = -1;
    int prepared = 0;
    int frameRate = 24;

    void SetParameterFromPlug(int index, double value, bool normalized) override {
        pushes.push_back({index, value, normalized});
    }
    void PrepareDraw() override { ++prepared; }
    int FrameRate() const override { return frameRate; }
    void SetEndEditCountdown(int ticks) override { countdown = ticks; }
    void HideParamControls(int index, bool hide) override { hidden.emplace_back(index, hide); }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    bool SupportsWindowType(const char*) const override { return false; }
    bool OpenWindow(void*, const char*, IEditorRunLoop*) override { return false; }
    void CloseWindow() override { ++closed; }
    bool IsWindowOpen() override { return false; }
    bool KeyToEntry(EntryKey, char16_t, bool) override { return false; }
    int closed = 0;
};
