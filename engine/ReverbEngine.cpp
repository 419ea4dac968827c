#include "ReverbEngine.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "EngineTables.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
// ln(0.001) * 1.2: a gain applied once every n samples falls 72 dB over the decay time.
constexpr double kDecayLog = -8.289306334778564;

// All-pass gain slots: S1..S5, then S7, S9, S11.
enum AllpassSlot { kS1, kS2, kS3, kS4, kS5, kS7, kS9, kS11 };

// Truncation toward zero that saturates instead of overflowing; NaN gives 0.
template <typename T> std::int32_t SaturatingTruncate(T r) {
    if (!(r == r))
        return 0;
    if (r >= T(2147483648.0))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= T(-2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

// Half away from zero, the half added in y's own precision.
template <typename T> std::int32_t Nearest(T y) {
    return SaturatingTruncate(y >= T(0) ? y + T(0.5) : y - T(0.5));
}

// Accent percent to weight: q = x/100, 2q - q^2, steepest near 0 so small accents already count.
float AccentCurve(float x) {
    const float q = x * 0.01f;
    return (2.0f * q) - (q * q);
}

// The engine works on whole units: tenths for Time and the two EQ gains, plain units otherwise.
std::int32_t RoundedValue(int index, double value) {
    if (index == kTime || index == kEqGain || index == kEq2Gain)
        value *= 10.0;
    return Nearest(value);
}

} // namespace

ReverbEngine::ReverbEngine() {
    appliedValues_.fill(-1);
}

bool ReverbEngine::ParamChanged(int index, double plainValue) {
    if (index < 0 || index >= kNumParams)
        return false;
    const std::int32_t v = RoundedValue(index, plainValue);
    if (v == appliedValues_[index])
        return false;
    Apply(index, v);
    return true;
}

bool ReverbEngine::AllParamsReceived() const {
    return missingParams_ < 1;
}

bool ReverbEngine::Prepared() const {
    return prepared_;
}

void ReverbEngine::BeginFirstBlock() {
    prepared_ = true;
    engineRate_ = 0.0;
    linesSized_ = false;
}

void ReverbEngine::Reset(double sampleRate, const double* plainValues) {
    // The lines-not-sized test makes the first block size everything even at a rate of 0.
    if (!prepared_ || (sampleRate == engineRate_ && linesSized_))
        return;
    engineRate_ = sampleRate;
    // Time: decay gains; Pre Delay: its length and all 26 lines; Freq: damping; Stereo: both length
    // sets, decay gains and the stage lines again.
    for (const int index : {kTime, kPreDelay, kFreq, kStereo})
        Apply(index, RoundedValue(index, plainValues[index]));
    tone_[0].ComputeCoefficients(engineRate_);
    tone_[1].ComputeCoefficients(engineRate_);
}

bool ReverbEngine::IsProcessing() const {
    return quietCount_ < quietLimit_;
}

int ReverbEngine::StereoMode() const {
    return stereoMode_;
}

// ---------------------------------------------------------------------------------------------
// Parameters

void ReverbEngine::Apply(int index, std::int32_t v) {
    appliedValues_[index] = v;
    ApplyParam(index, v);
    MarkReceived(index);
}

void ReverbEngine::MarkReceived(int index) {
    if (missingParams_ < 1 || receivedMarks_[index])
        return;
    receivedMarks_[index] = true;
    --missingParams_;
}

void ReverbEngine::ApplyParam(int index, std::int32_t v) {
    using namespace EngineTables;
    // x: the rounded value in single precision; every mapping below is single precision unless
    // it says double.
    const float x = static_cast<float>(v);
    switch (index) {
    case kPreDelay:
        ApplyPreDelay(v);
        break;
    case kTime:
        decayTime_ = x * 0.1f;
        if (engineRate_ > 0.0)
            RecomputeDecayGains();
        break;
    case kFreq:
        // Pole of the loop lowpass: exp(-2*pi*Freq/rate), in double.
        if (engineRate_ > 0.0)
            dampCoef_ = std::exp(static_cast<double>(v) * -kTwoPi / engineRate_);
        break;
    case kSpace:
        if (v >= 0 && v < kSpaceCount)
            std::copy(std::begin(kSpacePatterns[v]), std::end(kSpacePatterns[v]), spacePattern_.begin());
        RecomputeStageLengths();
        break;
    case kSurface:
        if (v >= 0 && v < kSurfaceCount)
            std::copy(std::begin(kSurfacePatterns[v]), std::end(kSurfacePatterns[v]),
                      surfacePattern_.begin());
        RecomputeAllpassGains();
        break;
    case kStereo:
        stereoMode_ = v;
        RecomputeStageLengths();
        break;
    case kMonoPosition: {
        const float q = x * 0.01f;
        monoGainLeft_ = 1.0f - q;
        monoGainRight_ = 1.0f + q;
        break;
    }
    case kStereoPosition:
        spreadAmount_ = (v >= 0 && v < kStereoPositionCount) ? kStereoPositionSpread[v] : 0.0f;
        spreadToRight_ = v <= 3;
        RecomputeStageLengths();
        break;
    case kSpaceAccent:
        spaceAccent_ = AccentCurve(x);
        spaceAccentComplement_ = 1.0f - spaceAccent_;
        RecomputeStageLengths();
        break;
    case kSurfaceAccent:
        surfaceAccent_ = AccentCurve(x);
        surfaceAccentComplement_ = 1.0f - surfaceAccent_;
        RecomputeAllpassGains();
        break;
    case kDiffuse:
        diffuseStep_ = Nearest(x * 194.0f * 0.01f + 6.0f); // 6..200 samples per stage
        RecomputeStageLengths();
        break;
    case kAttack:
        attackAmount_ = x * 0.01f;
        RecomputeStageLengths();
        break;
    case kSize:
        sizeWeight_ = x * 0.96f * 0.01f + 0.04f; // 0.04..1
        sizeWeightComplement_ = 1.0f - sizeWeight_;
        RecomputeStageLengths();
        break;
    case kEqType:
    case kEqFreq:
    case kEqBandwidth:
    case kEqGain:
        ApplyToneParam(0, index - kEqType, v);
        break;
    case kEq2Type:
    case kEq2Freq:
    case kEq2Bandwidth:
    case kEq2Gain:
        ApplyToneParam(1, index - kEq2Type, v);
        break;
    case kEqMode:
        eqMode_ = v;
        break;
    case kDryMix:
        dryGain_ = x * 0.01f;
        break;
    case kWetMix:
        wetGain_ = x * 0.799f * 0.01f + 0.001f; // 0.001..0.8: never fully dry
        break;
    case kBypassCeil:
        // 10^(dB/20) = exp(dB * ln(10)/20), in double, kept as float.
        silenceThreshold_ = static_cast<float>(std::exp(v * 0.11512925464970228));
        break;
    default:
        break;
    }
}

// The four parameters of a tone filter, in the order Type, Freq, Bandwidth, Gain. A new type starts
// from silence; the others keep the history so the filter carries on with new coefficients.
void ReverbEngine::ApplyToneParam(int filter, int field, std::int32_t v) {
    static_assert(kEqGain - kEqType == 3 && kEq2Gain - kEq2Type == 3, "tone parameters are contiguous");
    ToneFilter& f = tone_[filter];
    switch (field) {
    case 0:
        f.type = v;
        toneState_[filter][kLeft] = ToneState{};
        toneState_[filter][kRight] = ToneState{};
        break;
    case 1:
        f.frequency = v;
        break;
    case 2:
        f.bandwidth = ToneFilter::BandwidthFromPercent(static_cast<float>(v));
        break;
    default:
        f.gain = ToneFilter::GainFromTenthsDb(v);
        break;
    }
    f.ComputeCoefficients(engineRate_);
}

// n = PreDelay[ms] * rate * 0.001 in double; under one sample (or not finite) the line is one sample.
// Sizes all 26 lines; until the first block only the applied value is kept.
void ReverbEngine::ApplyPreDelay(std::int32_t v) {
    if (!prepared_)
        return;
    const double n = static_cast<double>(static_cast<float>(v)) * engineRate_ * 0.001;
    preDelayLength_ =
        (n >= 1.0 && std::isfinite(n)) ? static_cast<std::uint32_t>(std::min(n + 0.5, 4294967295.0)) : 1u;
    RecomputeQuietLimit();
    ResizePreDelay();
    ResizeStages();
    linesSized_ = true;
}

// L1 = nearest(s*(a*600 + (r - 300)) + s') + d, r = nearest(p1*w + B1*w') held in 301..1100;
// Lk = L(k-1) + d + nearest((pk*w + Bk*w')*s + s'), all single precision.
// The spread set adds nearest(dk * f(mode, k) * spread) with dk the step to the next stage, so the
// channel that takes it hears the reverb later.
void ReverbEngine::RecomputeStageLengths() {
    using namespace EngineTables;
    const float w = spaceAccent_;
    const float wc = spaceAccentComplement_;
    const float s = sizeWeight_;
    const float sc = sizeWeightComplement_;
    const auto d = static_cast<std::uint32_t>(diffuseStep_);

    std::array<std::uint32_t, kStageCount> base{};
    const std::int32_t r = std::clamp(
        Nearest(static_cast<float>(spacePattern_[0]) * w + static_cast<float>(kBaseIncrements[0]) * wc), 301,
        1100);
    base[0] =
        static_cast<std::uint32_t>(Nearest(s * (attackAmount_ * 600.0f + static_cast<float>(r - 300)) + sc)) +
        d;
    for (int k = 1; k < kStageCount; ++k) {
        const float increment =
            static_cast<float>(spacePattern_[k]) * w + static_cast<float>(kBaseIncrements[k]) * wc;
        base[k] = base[k - 1] + d + static_cast<std::uint32_t>(Nearest(increment * s + sc));
    }

    if (stereoMode_ >= 1 && stereoMode_ <= kSpreadModeCount) {
        const float* factor = kSpreadFactors[stereoMode_ - 1];
        std::array<std::uint32_t, kStageCount> spread{};
        for (int k = 0; k < kStageCount; ++k) {
            const std::uint32_t delta = k + 1 < kStageCount ? base[k + 1] - base[k] : base[k] - base[k - 1];
            spread[k] = base[k] + static_cast<std::uint32_t>(
                                      Nearest((static_cast<float>(delta) * factor[k]) * spreadAmount_));
        }
        stageLengths_[kLeft] = spreadToRight_ ? base : spread;
        stageLengths_[kRight] = spreadToRight_ ? spread : base;
    } else {
        stageLengths_[kLeft] = base;
        stageLengths_[kRight] = base;
    }

    if (engineRate_ > 0.0)
        RecomputeDecayGains();
    RecomputeQuietLimit();
    if (prepared_)
        ResizeStages();
}

// gain = exp(n * K / T * (1/rate)), n the longest path of that kind over both channels: the signal
// loses 72 dB over T seconds when scaled once every n samples.
void ReverbEngine::RecomputeDecayGains() {
    const double t = decayTime_;
    const double invRate = 1.0 / engineRate_;
    const auto gain = [&](std::uint32_t n) {
        return std::exp(static_cast<double>(n) * kDecayLog / t * invRate);
    };
    const auto& l = stageLengths_[kLeft];
    const auto& r = stageLengths_[kRight];
    // Indices 3, 5, 6, 7, 11 are S4, S6, S7, S8, S12.
    inputGain_ = gain(std::max(l[3], r[3]));
    loopGainA_ = gain(std::max(l[5] + l[6] + l[7], r[5] + r[6] + r[7]));
    loopGainB_ = gain(std::max(l[5] + l[6] + l[11], r[5] + r[6] + r[11]));
}

// g = (accent * u) + (1 - accent) * 0.62: the products in single precision, the sum in double.
void ReverbEngine::RecomputeAllpassGains() {
    for (int j = 0; j < EngineTables::kAllpassCount; ++j)
        allpassGain_[j] = static_cast<double>(surfaceAccent_ * surfacePattern_[j]) +
                          static_cast<double>(surfaceAccentComplement_ * 0.62f);
}

// The gate waits at least one second, or the longest path plus 100 samples when that is longer.
void ReverbEngine::RecomputeQuietLimit() {
    const std::uint32_t longest = std::max(stageLengths_[kLeft][11], stageLengths_[kRight][11]);
    const double path = static_cast<double>(preDelayLength_) + static_cast<double>(longest) + 100.0;
    quietLimit_ = SaturatingTruncate(engineRate_ > path ? engineRate_ : path);
}

// Lowpass B survives a resize; the feedbacks and lowpass A start again from 0.
void ReverbEngine::ClearLoopStates() {
    for (Channel& ch : channels_) {
        ch.feedbackA = 0.0;
        ch.feedbackB = 0.0;
        ch.lowpassA = 0.0;
    }
}

void ReverbEngine::ResizePreDelay() {
    ClearLoopStates();
    for (Channel& ch : channels_)
        ch.lines[0].Resize(preDelayLength_);
}

void ReverbEngine::ResizeStages() {
    ClearLoopStates();
    for (int c = 0; c < 2; ++c)
        for (int k = 1; k < kLinesPerChannel; ++k)
            channels_[c].lines[k].Resize(stageLengths_[c][k - 1]);
}

// ---------------------------------------------------------------------------------------------
// Signal path

double ReverbEngine::RunChannel(Channel& ch, double u) {
    auto& line = ch.lines;
    const auto& g = allpassGain_;

    // Pre-delay, then four all-pass diffusers in series.
    double x = line[0].Delay(u);
    x = line[1].Allpass(g[kS1], x);
    x = line[2].Allpass(g[kS2], x);
    x = line[3].Allpass(g[kS3], x);
    x = line[4].Allpass(g[kS4], x);

    // Loop inputs: in = inputGain*x + loopGain*feedback (feedback read one sample ago), then
    // lp = (lp - in) * dampCoef + in: one-pole lowpass, dampCoef = exp(-2*pi*Freq/rate).
    const double b = inputGain_ * x + loopGainB_ * ch.feedbackB;
    ch.lowpassB = (ch.lowpassB - b) * dampCoef_ + b;
    const double a = inputGain_ * x + loopGainA_ * ch.feedbackA;
    ch.lowpassA = (ch.lowpassA - a) * dampCoef_ + a;

    // Loop A: all-pass S5, delay S6, all-pass S7, delay S8 back to the input.
    const double y5 = line[5].Allpass(g[kS5], ch.lowpassA);
    const double y7 = line[7].Allpass(g[kS7], line[6].Delay(y5));
    ch.feedbackA = line[8].Delay(y7);

    // Loop B: all-pass S9, delay S10, all-pass S11, delay S12 back to the input.
    const double y9 = line[9].Allpass(g[kS9], ch.lowpassB);
    const double y11 = line[11].Allpass(g[kS11], line[10].Delay(y9));
    ch.feedbackB = line[12].Delay(y11);

    // Wet: the four loop all-pass outputs, summed in this order.
    return ((y5 + y7) + y9) + y11;
}

// Runs one tone filter on a pair (left history for left, right for right); `both` false filters
// the left sample only (the mono wet signal).
void ReverbEngine::FilterPair(int filter, double& left, double& right, bool both) {
    const ToneFilter& f = tone_[filter];
    if (!f.IsOn())
        return;
    left = f.Process(toneState_[filter][kLeft], left);
    if (both)
        right = f.Process(toneState_[filter][kRight], right);
}

// Side by side: out = F1(in/2) + F2(in/2) with both filters on, otherwise the one that is on.
void ReverbEngine::FilterPairParallel(double& left, double& right, bool both) {
    if (!tone_[0].IsOn() || !tone_[1].IsOn()) {
        FilterPair(0, left, right, both);
        FilterPair(1, left, right, both);
        return;
    }
    const double halfL = left * 0.5;
    const double halfR = right * 0.5;
    double l1 = halfL, r1 = halfR, l2 = halfL, r2 = halfR;
    FilterPair(0, l1, r1, both);
    FilterPair(1, l2, r2, both);
    left = l1 + l2;
    if (both)
        right = r1 + r2;
}

// Stereo: out = dry*in + wet*wetChannel. Mono: out = (monoGain*wetLeft)*wet + dry*in.
void ReverbEngine::Mix(bool stereo, double inL, double inR, double& outL, double& outR) const {
    const double dry = dryGain_;
    const double wet = wetGain_;
    if (stereo) {
        outL = dry * inL + wet * wetLeft_;
        outR = dry * inR + wet * wetRight_;
    } else {
        outL = static_cast<double>(monoGainLeft_) * wetLeft_ * wet + dry * inL;
        outR = static_cast<double>(monoGainRight_) * wetLeft_ * wet + dry * inR;
    }
}

void ReverbEngine::ProcessBlock(const double* const* inputs, double* const* outputs, int frames) {
    assert(prepared_);
    const double threshold = silenceThreshold_;
    const bool stereo = stereoMode_ != 0;

    for (int i = 0; i < frames; ++i) {
        // Both inputs are read before any output is written: the buffers may be shared.
        const double inL = inputs[kLeft][i];
        const double inR = inputs[kRight][i];

        // Silence gate: any input or last wet sample above the ceiling restarts the count; once
        // the count reaches the limit, audio passes through and the network stays frozen.
        if (std::fabs(inL) > threshold || std::fabs(inR) > threshold || std::fabs(wetLeft_) > threshold ||
            std::fabs(wetRight_) > threshold)
            quietCount_ = 0;
        if (quietCount_ >= quietLimit_) {
            outputs[kLeft][i] = inL;
            outputs[kRight][i] = inR;
            continue;
        }

        // Network: each channel its own, or both inputs summed into the left one.
        if (stereo) {
            wetLeft_ = RunChannel(channels_[kLeft], inL);
            wetRight_ = RunChannel(channels_[kRight], inR);
        } else {
            wetLeft_ = RunChannel(channels_[kLeft], (inR + inL) * 0.5);
        }

        // Tone and mix in the order EQ Mode picks; wet routings write back into wetLeft/wetRight,
        // so the gate of the next sample sees the filtered values.
        double outL = 0.0;
        double outR = 0.0;
        switch (eqMode_) {
        case 0: // Parallel on the wet signal
            FilterPairParallel(wetLeft_, wetRight_, stereo);
            Mix(stereo, inL, inR, outL, outR);
            break;
        case 1: // Serie on the wet signal
            FilterPair(0, wetLeft_, wetRight_, stereo);
            FilterPair(1, wetLeft_, wetRight_, stereo);
            Mix(stereo, inL, inR, outL, outR);
            break;
        case 2: // Alternate: filter 1 on the wet signal, filter 2 on the output
            FilterPair(0, wetLeft_, wetRight_, stereo);
            Mix(stereo, inL, inR, outL, outR);
            FilterPair(1, outL, outR, true);
            break;
        case 3: // Out Parallel
            Mix(stereo, inL, inR, outL, outR);
            FilterPairParallel(outL, outR, true);
            break;
        case 4: // Out Serie
            Mix(stereo, inL, inR, outL, outR);
            FilterPair(0, outL, outR, true);
            FilterPair(1, outL, outR, true);
            break;
        default:
            Mix(stereo, inL, inR, outL, outR);
            break;
        }
        outputs[kLeft][i] = outL;
        outputs[kRight][i] = outR;
        ++quietCount_;
    }
}
