#include "ReverbEngine.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <immintrin.h>

#include "Diffuser.h"
#include "EngineTables.h"
#include "WetPath.h"

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

// Sets a flag while it lives, whichever way its scope is left.
class Holding {
  public:
    explicit Holding(bool& flag) : flag_(flag) { flag_ = true; }
    ~Holding() { flag_ = false; }
    Holding(const Holding&) = delete;
    Holding& operator=(const Holding&) = delete;

  private:
    bool& flag_;
};

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
    // Time: decay gains; Pre Delay: its length and line; Freq: damping; Stereo: both length sets and
    // decay gains. Pre Delay and Stereo would each size the stage lines: they are sized once, after both.
    {
        const Holding held(stagesHeld_);
        for (const int index : {kTime, kPreDelay, kFreq, kStereo})
            Apply(index, RoundedValue(index, plainValues[index]));
    }
    ResizeStages();
    linesSized_ = true;
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
        spanLimit_ = 0;
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
// Sizes all 26 lines (in a Reset, the stages after it); until the first block only the applied value
// is kept.
void ReverbEngine::ApplyPreDelay(std::int32_t v) {
    if (!prepared_)
        return;
    const double n = static_cast<double>(static_cast<float>(v)) * engineRate_ * 0.001;
    preDelayLength_ =
        (n >= 1.0 && std::isfinite(n)) ? static_cast<std::uint32_t>(std::min(n + 0.5, 4294967295.0)) : 1u;
    RecomputeQuietLimit();
    ResizePreDelay();
    if (stagesHeld_)
        return;
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
    if (prepared_ && !stagesHeld_)
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
    spanLimit_ = 0;
    for (int c = 0; c < 2; ++c)
        for (int k = 1; k < kLinesPerChannel; ++k)
            channels_[c].lines[k].Resize(stageLengths_[c][k - 1]);
}

// ---------------------------------------------------------------------------------------------
// Signal path
//
// Per span and channel, one straight loop over the pre-delay and the four diffusers; then the wet
// path over both channels in one pipelined loop (the loop stages, the lowpasses, S5, S9, the wet
// sum, tone and mix), so the throughput of the lines fills the latency of the recurrences; then the
// silence gate's decision for the whole span. Each loop is cut where a line's ring wraps, so every
// line is a contiguous run of memory inside it.

namespace {

inline __m128d Magnitude(__m128d v) {
    return _mm_andnot_pd(_mm_set1_pd(-0.0), v);
}

// The pre-delay over a whole span: out = what the line returns, in = what it takes. A line shorter
// than the span returns its whole content and then the span's own first samples.
void PreDelay(DelayLine& line, const double* in, double* out, std::uint32_t n) {
    const std::uint32_t size = line.Size();
    double* ring = line.Data();
    const std::uint32_t position = line.Position();
    if (n <= size) {
        const std::uint32_t first = std::min(n, size - position);
        std::copy(ring + position, ring + position + first, out);
        std::copy(in, in + first, ring + position);
        std::copy(ring, ring + (n - first), out + first);
        std::copy(in + first, in + n, ring);
    } else {
        std::copy(ring + position, ring + size, out);
        std::copy(ring, ring + position, out + (size - position));
        std::copy(in, in + (n - size), out + size);
        // The last `size` inputs fill the ring, the oldest of them at the new position.
        const std::uint32_t next =
            static_cast<std::uint32_t>((position + static_cast<std::uint64_t>(n)) % size);
        const double* last = in + (n - size);
        std::copy(last, last + (size - next), ring + next);
        std::copy(last + (size - next), in + n, ring);
    }
    line.Advance(n);
}

} // namespace

// The pre-delay and the four diffusers of one channel over the span, into its diffused signal, in
// runs that end where a ring wraps. A pre-delay shorter than the span returns part of the span
// itself: it runs first.
void ReverbEngine::Diffuse(int channel, const double* input, std::uint32_t n) {
    const auto run = simd_ == SimdLevel::kAvx512 ? RunDiffuserAvx512
                     : simd_ == SimdLevel::kAvx2 ? RunDiffuserAvx2
                                                 : RunDiffuser;
    Channel& ch = channels_[channel];
    double* const diffused = Span(channel, kDiffused);
    const auto& g = allpassGain_;
    Diffuser d; // every field is set below; zeroing it first shows at short blocks
    d.g1 = g[kS1], d.g2 = g[kS2], d.g3 = g[kS3], d.g4 = g[kS4];
    d.inputGain = inputGain_;
    const bool shortPreDelay = ch.lines[0].Size() < n;
    if (shortPreDelay) {
        PreDelay(ch.lines[0], input, diffused, n);
        input = diffused;
    }
    // The lines walked in place, run by run; a short pre-delay is done and stands still here.
    DelayLine* const first = shortPreDelay ? &ch.lines[1] : &ch.lines[0];
    DelayLine* const end = &ch.lines[5];
    for (std::uint32_t done = 0; done < n; done += d.count) {
        d.count = n - done;
        for (DelayLine* line = first; line != end; ++line)
            d.count = std::min(d.count, line->Room());
        d.input = input + done;
        d.preDelay = shortPreDelay ? nullptr : ch.lines[0].Head();
        d.x = diffused + done;
        d.s1 = ch.lines[1].Head(), d.s2 = ch.lines[2].Head(), d.s3 = ch.lines[3].Head();
        d.s4 = ch.lines[4].Head();
        run(d);
        for (DelayLine* line = first; line != end; ++line)
            line->Step(d.count);
    }
}

// The silence gate over a span: the last sample whose inputs, or the wet sample before it (as the
// tone routing left it), is above the ceiling; -1 when there is none. Searched from the end, so a
// loud span costs one test.
int ReverbEngine::LastHeard(const double* const* inputs, double wetLeft, double wetRight,
                            std::uint32_t n) const {
    const double threshold = silenceThreshold_;
    const __m128d limit = _mm_set1_pd(threshold);
    const double* inL = inputs[kLeft];
    const double* inR = inputs[kRight];
    const double* wet = Span(kLeft, kWet);
    const bool stereo = stereoMode_ != 0;
    // "Mono" leaves the right wet value from the last stereo sample; above the ceiling it is heard
    // at every sample.
    if (!stereo && std::fabs(wetRight) > threshold)
        return static_cast<int>(n) - 1;
    for (std::uint32_t j = n; j-- > 1;) {
        const __m128d in = _mm_loadh_pd(_mm_load_sd(inL + j), inR + j);
        const __m128d before = stereo ? _mm_loadu_pd(wet + 2 * (j - 1)) : _mm_load_sd(wet + (j - 1));
        if (_mm_movemask_pd(
                _mm_or_pd(_mm_cmpgt_pd(Magnitude(in), limit), _mm_cmpgt_pd(Magnitude(before), limit))))
            return static_cast<int>(j);
    }
    if (n > 0 && (std::fabs(inL[0]) > threshold || std::fabs(inR[0]) > threshold ||
                  std::fabs(wetLeft) > threshold || (stereo && std::fabs(wetRight) > threshold)))
        return 0;
    return -1;
}

namespace {

// Frames from start on, eight at a time, while none is above the threshold: where the first group
// that may hold a louder frame starts. Each quiet group goes on to the outputs given (null: the
// output is the input) in the same pass, so the search and the copy read the audio once.
// max(x, peak) returns peak when x is NaN, so a NaN never hides a loud frame.
int QuietCopy(const double* left, const double* right, double* outLeft, double* outRight, int start,
              int frames, double threshold) {
    const __m128d limit = _mm_set1_pd(threshold);
    int end = start;
    for (; end + 8 <= frames; end += 8) {
        __m128d l[4], r[4];
        __m128d peakLeft = _mm_setzero_pd(), peakRight = _mm_setzero_pd();
        for (int k = 0; k < 4; ++k) {
            l[k] = _mm_loadu_pd(left + end + 2 * k);
            r[k] = _mm_loadu_pd(right + end + 2 * k);
            peakLeft = _mm_max_pd(Magnitude(l[k]), peakLeft);
            peakRight = _mm_max_pd(Magnitude(r[k]), peakRight);
        }
        if (_mm_movemask_pd(_mm_cmpgt_pd(_mm_max_pd(peakLeft, peakRight), limit)))
            break;
        for (int k = 0; k < 4; ++k) {
            if (outLeft)
                _mm_storeu_pd(outLeft + end + 2 * k, l[k]);
            if (outRight)
                _mm_storeu_pd(outRight + end + 2 * k, r[k]);
        }
    }
    return end;
}

__attribute__((target("avx2"))) int QuietCopyAvx2(const double* left, const double* right, double* outLeft,
                                                  double* outRight, int start, int frames, double threshold) {
    const __m256d limit = _mm256_set1_pd(threshold);
    const __m256d sign = _mm256_set1_pd(-0.0);
    int end = start;
    for (; end + 8 <= frames; end += 8) {
        const __m256d l0 = _mm256_loadu_pd(left + end), l1 = _mm256_loadu_pd(left + end + 4);
        const __m256d r0 = _mm256_loadu_pd(right + end), r1 = _mm256_loadu_pd(right + end + 4);
        const __m256d peak = _mm256_max_pd(
            _mm256_andnot_pd(sign, l0),
            _mm256_max_pd(_mm256_andnot_pd(sign, l1),
                          _mm256_max_pd(_mm256_andnot_pd(sign, r0),
                                        _mm256_max_pd(_mm256_andnot_pd(sign, r1), _mm256_setzero_pd()))));
        if (_mm256_movemask_pd(_mm256_cmp_pd(peak, limit, _CMP_GT_OQ)))
            break;
        if (outLeft) {
            _mm256_storeu_pd(outLeft + end, l0);
            _mm256_storeu_pd(outLeft + end + 4, l1);
        }
        if (outRight) {
            _mm256_storeu_pd(outRight + end, r0);
            _mm256_storeu_pd(outRight + end + 4, r1);
        }
    }
    return end;
}

// Sixteen frames a turn; the outputs to copy to are fixed for the whole search. A NaN compares
// above no threshold, so it is quiet here as in the searches above.
template <bool kLeft, bool kRight>
__attribute__((target("avx512f"))) int QuietCopyAvx512To(const double* left, const double* right,
                                                         double* outLeft, double* outRight, int start,
                                                         int frames, double threshold) {
    const __m512d limit = _mm512_set1_pd(threshold);
    const __m512i magnitude = _mm512_set1_epi64(0x7fffffffffffffff);
    const auto abs = [magnitude](__m512d x) __attribute__((target("avx512f"))) {
        return _mm512_castsi512_pd(_mm512_and_si512(_mm512_castpd_si512(x), magnitude));
    };
    const auto above = [limit](__m512d x) __attribute__((target("avx512f"))) {
        return _mm512_cmp_pd_mask(x, limit, _CMP_GT_OQ);
    };
    int end = start;
    for (; end + 16 <= frames; end += 16) {
        const __m512d l0 = _mm512_loadu_pd(left + end), l1 = _mm512_loadu_pd(left + end + 8);
        const __m512d r0 = _mm512_loadu_pd(right + end), r1 = _mm512_loadu_pd(right + end + 8);
        if (above(abs(l0)) | above(abs(l1)) | above(abs(r0)) | above(abs(r1)))
            break;
        if constexpr (kLeft) {
            _mm512_storeu_pd(outLeft + end, l0);
            _mm512_storeu_pd(outLeft + end + 8, l1);
        }
        if constexpr (kRight) {
            _mm512_storeu_pd(outRight + end, r0);
            _mm512_storeu_pd(outRight + end + 8, r1);
        }
    }
    // A last whole group of eight, as the AVX2 search takes it.
    return end + 8 <= frames ? QuietCopyAvx2(left, right, outLeft, outRight, end, frames, threshold) : end;
}

// True when the frames [start, frames) of a and b share memory without being the same frames.
bool Overlap(const double* a, const double* b, int start, int frames) {
    const auto x = reinterpret_cast<std::uintptr_t>(a + start),
               y = reinterpret_cast<std::uintptr_t>(b + start);
    const auto bytes = static_cast<std::uintptr_t>(frames - start) * sizeof(double);
    return x != y && x < y + bytes && y < x + bytes;
}

} // namespace

// Copies input to output while the gate stays open; returns where a sample above the ceiling
// closes it, or `frames`. The wet values are frozen while the gate is open, so they decide once.
// The search takes eight frames at a time and copies each quiet group as it goes; an output that
// is the input is left alone, and one that only partly overlaps it is moved once the search is done.
int ReverbEngine::PassThrough(const double* const* inputs, double* const* outputs, int start, int frames) {
    const double threshold = silenceThreshold_;
    if (std::fabs(wetLeft_) > threshold || std::fabs(wetRight_) > threshold)
        return start;
    const double* inL = inputs[kLeft];
    const double* inR = inputs[kRight];
    bool moveLater = false;
    double* copyTo[2] = {nullptr, nullptr};
    for (const int c : {kLeft, kRight}) {
        if (outputs[c] == inputs[c])
            continue;
        if (Overlap(inputs[c], outputs[c], start, frames))
            moveLater = true;
        else
            copyTo[c] = outputs[c];
    }
    if (moveLater)
        copyTo[kLeft] = copyTo[kRight] = nullptr;
    const auto wide =
        copyTo[kLeft] ? (copyTo[kRight] ? QuietCopyAvx512To<true, true> : QuietCopyAvx512To<true, false>)
                      : (copyTo[kRight] ? QuietCopyAvx512To<false, true> : QuietCopyAvx512To<false, false>);
    const auto search = simd_ == SimdLevel::kAvx512 ? wide
                        : simd_ == SimdLevel::kAvx2 ? QuietCopyAvx2
                                                    : QuietCopy;
    int end = search(inL, inR, copyTo[kLeft], copyTo[kRight], start, frames, threshold);
    const int copied = moveLater ? start : end;
    for (; end < frames; ++end)
        if (std::fabs(inL[end]) > threshold || std::fabs(inR[end]) > threshold)
            break;
    const auto bytes = static_cast<std::size_t>(end - copied) * sizeof(double);
    for (const int c : {kLeft, kRight})
        if (outputs[c] != inputs[c] && bytes)
            std::memmove(outputs[c] + copied, inputs[c] + copied, bytes);
    return end;
}

// The longest span whose every line read returns a sample written before the span.
std::uint32_t ReverbEngine::SpanLimit() const {
    std::uint32_t limit = kMaxSpan;
    for (int c = 0; c < (stereoMode_ != 0 ? 2 : 1); ++c)
        for (int k = 1; k < kLinesPerChannel; ++k)
            limit = std::min(limit, channels_[c].lines[k].Size());
    return limit;
}

void ReverbEngine::RunSpan(const double* const* inputs, double* const* outputs, std::uint32_t n) {
    const bool stereo = stereoMode_ != 0;
    if (stereo) {
        Diffuse(kLeft, inputs[kLeft], n);
        Diffuse(kRight, inputs[kRight], n);
    } else {
        // u = (right + left) * 0.5 into the left network; the right set stays untouched.
        double* sum = Span(kRight, kDiffused);
        for (std::uint32_t j = 0; j < n; ++j)
            sum[j] = (inputs[kRight][j] + inputs[kLeft][j]) * 0.5;
        Diffuse(kLeft, sum, n);
    }

    const double wetBeforeLeft = wetLeft_;
    const double wetBeforeRight = wetRight_;
    const int second = stereo ? kRight : kLeft; // "Mono" runs the left network alone
    WetPath path;
    for (const int c : {kLeft, kRight}) {
        const int from = c == kLeft ? kLeft : second;
        Channel& ch = channels_[from];
        path.lines[c] = ch.lines.data();
        path.diffused[c] = Span(from, kDiffused);
        path.input[c] = inputs[c];
        path.output[c] = outputs[c];
        path.feedbackA[c] = ch.feedbackA;
        path.feedbackB[c] = ch.feedbackB;
        path.lowpassA[c] = ch.lowpassA;
        path.lowpassB[c] = ch.lowpassB;
    }
    path.wet = Span(kLeft, kWet);
    path.tone = tone_.data();
    path.toneState = toneState_[0].data();
    path.wetLast[0] = wetLeft_, path.wetLast[1] = wetRight_;
    const auto& g = allpassGain_;
    path.g5 = g[kS5], path.g7 = g[kS7], path.g9 = g[kS9], path.g11 = g[kS11];
    path.loopGainA = loopGainA_, path.loopGainB = loopGainB_, path.damp = dampCoef_;
    path.dry = dryGain_, path.wetGain = wetGain_;
    path.monoGain[0] = monoGainLeft_, path.monoGain[1] = monoGainRight_;
    path.route = eqMode_;
    path.stereo = stereo;
    path.count = n;
    switch (simd_) {
    case SimdLevel::kAvx512:
        RunWetPathAvx512(path);
        break;
    case SimdLevel::kAvx2:
        RunWetPathAvx2(path);
        break;
    default:
        RunWetPath(path);
        break;
    }
    for (const int c : {kLeft, second}) {
        channels_[c].feedbackA = path.feedbackA[c];
        channels_[c].feedbackB = path.feedbackB[c];
        channels_[c].lowpassA = path.lowpassA[c];
        channels_[c].lowpassB = path.lowpassB[c];
    }
    wetLeft_ = path.wetLast[0];
    if (stereo)
        wetRight_ = path.wetLast[1];
    const int lastLoud = LastHeard(inputs, wetBeforeLeft, wetBeforeRight, n);

    // Nothing inside the span could open the gate (see ProcessBlock); the count restarts after
    // the last sample that heard a signal.
    quietCount_ =
        lastLoud >= 0 ? static_cast<std::int32_t>(n) - lastLoud : quietCount_ + static_cast<std::int32_t>(n);
}

void ReverbEngine::ProcessBlock(const double* const* inputs, double* const* outputs, int frames) {
    assert(prepared_);
    for (int done = 0; done < frames;) {
        if (quietCount_ >= quietLimit_) {
            // Gate open: audio passes through and the network stays frozen until a sample is heard.
            done = PassThrough(inputs, outputs, done, frames);
            if (done == frames)
                break;
            quietCount_ = 0;
            if (quietCount_ >= quietLimit_) { // a limit of 0 keeps the gate open for every sample
                outputs[kLeft][done] = inputs[kLeft][done];
                outputs[kRight][done] = inputs[kRight][done];
                ++done;
                continue;
            }
        }
        // With the count below its limit by at least the span, no sample of the span opens the gate.
        if (spanLimit_ == 0) // found at the first span after a change: an idle block never needs it
            spanLimit_ = SpanLimit();
        const auto n = static_cast<std::uint32_t>(
            std::min<std::int64_t>({frames - done, spanLimit_, std::int64_t{quietLimit_} - quietCount_}));
        const double* ins[2] = {inputs[kLeft] + done, inputs[kRight] + done};
        double* outs[2] = {outputs[kLeft] + done, outputs[kRight] + done};
        RunSpan(ins, outs, n);
        done += static_cast<int>(n);
    }
}
