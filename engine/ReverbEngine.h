#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "DelayLine.h"
#include "EngineParams.h"
#include "SimdLevel.h"
#include "ToneFilter.h"
#include "WetPath.h"

// The Halvane reverb: per channel a pre-delay, four series all-pass diffusers and two damped
// feedback loops (all-pass, delay, all-pass, delay), then two tone filters routed by EQ Mode and the
// dry/wet mix. "Mono" sums the inputs into the left network and pans its wet signal to both outputs.
// A silence gate passes audio through untouched once input and reverb have stayed below Bypass Ceil
// for quietLimit samples, freezing whatever the lines still hold.
//
// The owner delivers every parameter through ParamChanged, calls BeginFirstBlock and Reset before
// the first ProcessBlock, and Reset again after every processing set-up. Results depend only on the
// stream, never on how it is split into blocks.
//
// Threading: not thread-safe by itself; the owner serialises every call under its instance lock.
// ParamChanged and Reset may allocate (delay lines are resized on whichever thread delivers the
// change); ProcessBlock never allocates.
//
// ProcessBlock runs the network span by span, each stage a straight loop over contiguous samples. A
// span is never longer than the shortest stage line, so every line read inside it returns a sample
// written before the span, and the result is the same, bit for bit, as running the network one
// sample at a time: the same operations in the same order on the same values.
class ReverbEngine {
  public:
    static constexpr int kLeft = 0;
    static constexpr int kRight = 1;
    static constexpr int kLinesPerChannel = 13; // index 0 is the pre-delay, 1..12 are S1..S12

    ReverbEngine();

    // Applies the current plain value of parameter `index`. Returns true when the value was applied
    // (index in range and its rounded value differs from the last applied one); false otherwise.
    // Until all 25 have been applied once, each applied parameter counts toward AllParamsReceived.
    // Changes of the stage lengths or of Pre Delay empty the affected lines once prepared.
    // Any thread, under the owner's lock; may allocate when a length changes.
    bool ParamChanged(int index, double plainValue);

    // True once every one of the 25 parameters has been applied at least once.
    bool AllParamsReceived() const;

    // First block: sets prepared and forgets the rate so the next Reset sizes every line.
    bool Prepared() const;
    void BeginFirstBlock();

    // Acts only when prepared and (the rate differs from the engine rate, or the lines have not been
    // sized since BeginFirstBlock): re-applies Time, Pre Delay, Freq and Stereo from `plainValues`
    // (all 25 current plain values), then recomputes both tone filters. Empties all delay memory.
    // At a rate of 0 or below the pre-delay is one sample and the rate-dependent gains keep their
    // values. Any thread, under the owner's lock; allocates when it acts.
    void Reset(double sampleRate, const double* plainValues);

    // inputs/outputs: two channel pointers each, at least `frames` long; outputs may alias inputs.
    // Requires Prepared() and sized lines. frames <= 0 processes nothing.
    // Audio thread, under the owner's lock; never allocates, never divides.
    void ProcessBlock(const double* const* inputs, double* const* outputs, int frames);

    // Activity: true while the reverb is processing, false while the silence gate passes audio through.
    bool IsProcessing() const;

    int StereoMode() const;

    // Inspection, for tests and diagnostics.
    double EngineRate() const { return engineRate_; }
    // Computed lengths of stage S1..S12 (stage 1..12) of a channel; the lines take them when sized.
    std::uint32_t StageLength(int channel, int stage) const { return stageLengths_[channel][stage - 1]; }
    std::uint32_t PreDelayLength() const { return preDelayLength_; }
    const DelayLine& Line(int channel, int index) const { return channels_[channel].lines[index]; }
    int QuietLimit() const { return quietLimit_; }
    double InputGain() const { return inputGain_; }
    double LoopGainA() const { return loopGainA_; }
    double LoopGainB() const { return loopGainB_; }
    double DampCoef() const { return dampCoef_; }
    // Gains of the all-pass stages in the order S1, S2, S3, S4, S5, S7, S9, S11.
    double AllpassGain(int slot) const { return allpassGain_[slot]; }
    const ToneFilter& Tone(int filter) const { return tone_[filter]; }
    const ToneState& ToneHistory(int filter, int channel) const { return toneState_[filter][channel]; }

  private:
    friend class PerSampleReference; // the tests' sample-by-sample model of the signal path

    // One channel set: its 13 lines and the state of its two loops.
    struct Channel {
        std::array<DelayLine, kLinesPerChannel> lines;
        double feedbackA = 0.0; // last sample read from S8
        double feedbackB = 0.0; // last sample read from S12
        double lowpassA = 0.0;
        double lowpassB = 0.0;
    };

    void Apply(int index, std::int32_t v);
    void ApplyParam(int index, std::int32_t v);
    void MarkReceived(int index);

    void ApplyPreDelay(std::int32_t v);
    void ApplyToneParam(int filter, int field, std::int32_t v);
    void RecomputeStageLengths();
    void RecomputeDecayGains();
    void RecomputeAllpassGains();
    void RecomputeQuietLimit();
    void ClearLoopStates();
    void ResizePreDelay();
    void ResizeStages();

    int LastHeard(const double* const* inputs, double wetLeft, double wetRight, std::uint32_t n) const;
    int PassThrough(const double* const* inputs, double* const* outputs, int start, int frames);
    std::uint32_t SpanLimit() const;
    void RunSpan(const double* const* inputs, double* const* outputs, std::uint32_t n);
    void Diffuse(int channel, const double* input, std::uint32_t n);

    std::array<std::int32_t, kNumParams> appliedValues_;
    std::int32_t eqMode_ = 0;
    std::int32_t diffuseStep_ = 0;
    std::int32_t stereoMode_ = 99; // 99: Stereo not yet delivered
    std::array<std::uint32_t, 12> spacePattern_{};
    std::int32_t quietCount_ = 0;
    std::int32_t quietLimit_ = 0;
    float decayTime_ = 0.0f;
    float spaceAccent_ = 0.0f;
    float spaceAccentComplement_ = 0.0f;
    float surfaceAccent_ = 0.0f;
    float surfaceAccentComplement_ = 0.0f;
    float attackAmount_ = 0.0f;
    float sizeWeight_ = 0.0f;
    float sizeWeightComplement_ = 0.0f;
    float dryGain_ = 0.0f;
    float wetGain_ = 0.0f;
    float monoGainLeft_ = 0.0f;
    float monoGainRight_ = 0.0f;
    float spreadAmount_ = 0.0f;
    std::array<float, 8> surfacePattern_{};
    float silenceThreshold_ = 0.0f;
    double engineRate_ = 0.0;
    double dampCoef_ = 0.0;
    double inputGain_ = 0.0;
    double loopGainA_ = 0.0;
    double loopGainB_ = 0.0;
    double wetLeft_ = 0.0;
    double wetRight_ = 0.0;
    std::array<ToneFilter, 2> tone_{};
    std::array<std::array<ToneState, 2>, 2> toneState_{}; // [filter][channel]
    std::array<Channel, 2> channels_{};
    std::array<double, 8> allpassGain_{};
    bool prepared_ = false;
    bool spreadToRight_ = false;

    // Lengths the lines take when next sized; while unprepared they are computed but not used.
    std::uint32_t preDelayLength_ = 0;
    std::array<std::array<std::uint32_t, 12>, 2> stageLengths_{};
    bool linesSized_ = false;     // all 26 lines sized since BeginFirstBlock
    bool stagesHeld_ = false;     // in Reset: the stage lines are sized at its end
    std::uint32_t spanLimit_ = 0; // SpanLimit() of the current lines and Stereo; 0: not yet known

    std::array<bool, kNumParams> receivedMarks_{};
    int missingParams_ = kNumParams;

    // Per channel, one span of: the diffused input and the wet signal. A signal's right channel
    // follows its left, so the wet pairs (left, right of each sample, in stereo) fit in its two
    // halves.
    enum SpanSignal { kDiffused, kWet, kSpanSignals };
    static constexpr std::uint32_t kMaxSpan = 512;
    // Signals sit a cache line more than a span apart, so no two share their address modulo 4 KiB
    // (loads that seem to depend on unrelated stores); the wet pairs run on into the padding.
    static constexpr std::uint32_t kSpanStride = kMaxSpan + 8;
    double* Span(int channel, SpanSignal signal) {
        return spanScratch_.data() + (signal * 2 + channel) * kSpanStride;
    }
    const double* Span(int channel, SpanSignal signal) const {
        return spanScratch_.data() + (signal * 2 + channel) * kSpanStride;
    }
    std::vector<double> spanScratch_ = std::vector<double>(2 * kSpanSignals * kSpanStride + kMaxSpan, 0.0);
    // Which builds of the span loops run; the same bits at every level.
    SimdLevel simd_ = BestSimdLevel();
};
