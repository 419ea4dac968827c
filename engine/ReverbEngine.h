#pragma once

#include "EngineParams.h"

// INTERFACE DRAFT: the public operations below are what the plug-in class and the tests rely on.
// Private fields and helpers are the engine author's to lay out.
//
// Threading: not thread-safe by itself. The owner serialises every call under its instance lock.
class ReverbEngine {
public:
    ReverbEngine();

    // Applies the current plain value of parameter `index`. Returns true when the value was applied
    // (index in range and its rounded value differs from the last applied one); false otherwise.
    // The caller counts an applied parameter toward readiness; see AllParamsReceived.
    bool ParamChanged(int index, double plainValue);

    // True once every one of the 25 parameters has been applied at least once.
    bool AllParamsReceived() const;

    // First block: sets prepared and forgets the rate so the next Reset sizes every line.
    bool Prepared() const;
    void BeginFirstBlock();

    // Acts only when prepared and (the rate differs from the engine rate, or the lines have not been
    // sized since BeginFirstBlock): re-applies Time, Pre Delay, Freq and Stereo from `plainValues`
    // (all 25 current plain values), then recomputes both tone filters. Empties all delay memory.
    void Reset(double sampleRate, const double* plainValues);

    // inputs/outputs: two channel pointers each, at least `frames` long; outputs may alias inputs.
    // Requires Prepared() and sized lines. Never allocates.
    void ProcessBlock(const double* const* inputs, double* const* outputs, int frames);

    // Activity: true while the reverb is processing, false while the silence gate passes audio through.
    bool IsProcessing() const;

    int StereoMode() const;
};
