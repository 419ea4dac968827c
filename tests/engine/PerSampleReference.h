#pragma once

// The signal path one sample at a time, written straight from its definition: the model the
// engine's span-wise ProcessBlock must match bit for bit. It runs on a ReverbEngine's own state,
// so the parameter mapping and sizing under test are the engine's.

#include <cmath>
#include <cstdint>

#include "ReverbEngine.h"

class PerSampleReference {
  public:
    explicit PerSampleReference(ReverbEngine& engine) : e_(engine) {}

    // Makes an engine run the builds of its span loops for `level` even where the CPU has more.
    static void UseSimdLevel(ReverbEngine& engine, SimdLevel level) { engine.simd_ = level; }

    void ProcessBlock(const double* const* inputs, double* const* outputs, int frames) {
        const double threshold = e_.silenceThreshold_;
        const bool stereo = e_.stereoMode_ != 0;
        for (int i = 0; i < frames; ++i) {
            const double inL = inputs[0][i];
            const double inR = inputs[1][i];
            if (std::fabs(inL) > threshold || std::fabs(inR) > threshold ||
                std::fabs(e_.wetLeft_) > threshold || std::fabs(e_.wetRight_) > threshold)
                e_.quietCount_ = 0;
            if (e_.quietCount_ >= e_.quietLimit_) {
                outputs[0][i] = inL;
                outputs[1][i] = inR;
                continue;
            }
            if (stereo) {
                e_.wetLeft_ = RunChannel(e_.channels_[0], inL);
                e_.wetRight_ = RunChannel(e_.channels_[1], inR);
            } else {
                e_.wetLeft_ = RunChannel(e_.channels_[0], (inR + inL) * 0.5);
            }
            double outL = 0.0;
            double outR = 0.0;
            switch (e_.eqMode_) {
            case 0:
                Parallel(e_.wetLeft_, e_.wetRight_, stereo);
                Mix(stereo, inL, inR, outL, outR);
                break;
            case 1:
                Filter(0, e_.wetLeft_, e_.wetRight_, stereo);
                Filter(1, e_.wetLeft_, e_.wetRight_, stereo);
                Mix(stereo, inL, inR, outL, outR);
                break;
            case 2:
                Filter(0, e_.wetLeft_, e_.wetRight_, stereo);
                Mix(stereo, inL, inR, outL, outR);
                Filter(1, outL, outR, true);
                break;
            case 3:
                Mix(stereo, inL, inR, outL, outR);
                Parallel(outL, outR, true);
                break;
            case 4:
                Mix(stereo, inL, inR, outL, outR);
                Filter(0, outL, outR, true);
                Filter(1, outL, outR, true);
                break;
            default:
                Mix(stereo, inL, inR, outL, outR);
                break;
            }
            outputs[0][i] = outL;
            outputs[1][i] = outR;
            ++e_.quietCount_;
        }
    }

  private:
    static double Delay(DelayLine& line, double x) {
        double& slot = line.Data()[line.Position()];
        const double d = slot;
        slot = x;
        line.Advance(1);
        return d;
    }

    static double Allpass(DelayLine& line, double g, double x) {
        double& slot = line.Data()[line.Position()];
        const double y = slot - g * x;
        slot = g * y + x;
        line.Advance(1);
        return y;
    }

    double RunChannel(ReverbEngine::Channel& ch, double u) {
        auto& line = ch.lines;
        const auto& g = e_.allpassGain_;
        double x = Delay(line[0], u);
        x = Allpass(line[1], g[0], x);
        x = Allpass(line[2], g[1], x);
        x = Allpass(line[3], g[2], x);
        x = Allpass(line[4], g[3], x);
        const double b = e_.inputGain_ * x + e_.loopGainB_ * ch.feedbackB;
        ch.lowpassB = (ch.lowpassB - b) * e_.dampCoef_ + b;
        const double a = e_.inputGain_ * x + e_.loopGainA_ * ch.feedbackA;
        ch.lowpassA = (ch.lowpassA - a) * e_.dampCoef_ + a;
        const double y5 = Allpass(line[5], g[4], ch.lowpassA);
        const double y7 = Allpass(line[7], g[5], Delay(line[6], y5));
        ch.feedbackA = Delay(line[8], y7);
        const double y9 = Allpass(line[9], g[6], ch.lowpassB);
        const double y11 = Allpass(line[11], g[7], Delay(line[10], y9));
        ch.feedbackB = Delay(line[12], y11);
        return ((y5 + y7) + y9) + y11;
    }

    void Filter(int filter, double& left, double& right, bool both) {
        const ToneFilter& f = e_.tone_[filter];
        if (!f.IsOn())
            return;
        left = f.Process(e_.toneState_[filter][0], left);
        if (both)
            right = f.Process(e_.toneState_[filter][1], right);
    }

    void Parallel(double& left, double& right, bool both) {
        if (!e_.tone_[0].IsOn() || !e_.tone_[1].IsOn()) {
            Filter(0, left, right, both);
            Filter(1, left, right, both);
            return;
        }
        const double halfL = left * 0.5;
        const double halfR = right * 0.5;
        double l1 = halfL, r1 = halfR, l2 = halfL, r2 = halfR;
        Filter(0, l1, r1, both);
        Filter(1, l2, r2, both);
        left = l1 + l2;
        if (both)
            right = r1 + r2;
    }

    void Mix(bool stereo, double inL, double inR, double& outL, double& outR) const {
        const double dry = e_.dryGain_;
        const double wet = e_.wetGain_;
        if (stereo) {
            outL = dry * inL + wet * e_.wetLeft_;
            outR = dry * inR + wet * e_.wetRight_;
        } else {
            outL = static_cast<double>(e_.monoGainLeft_) * e_.wetLeft_ * wet + dry * inL;
            outR = static_cast<double>(e_.monoGainRight_) * e_.wetLeft_ * wet + dry * inR;
        }
    }

    ReverbEngine& e_;
};
