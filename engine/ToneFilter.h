#pragma once

#include <cstdint>

// Past inputs and outputs of one tone filter on one channel.
struct ToneState {
    double x1 = 0.0;
    double x2 = 0.0;
    double y1 = 0.0;
    double y2 = 0.0;
};

// One of the two tone filters: a peaking or shelving biquad, or off. The coefficients are already
// divided by a0. Coefficients change only through ComputeCoefficients, which keeps the previous
// ones when the rate is not above 0 or the type is off, so a filter switched off and on again
// resumes with what it had.
struct ToneFilter {
    enum Type : std::int32_t { kOff = 0, kPeak = 1, kLowshelf = 2, kHighshelf = 3 };

    double gain = 0.0; // A = 10^(dB / 40)
    double a1 = 0.0;
    double a2 = 0.0;
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    float bandwidth = 0.0f;     // 4 (narrowest) down to 0.01; plays the part of 2Q
    std::int32_t frequency = 0; // Hz, read as unsigned
    std::int32_t type = kOff;

    bool IsOn() const { return type != kOff; }

    // Bandwidth percent x (1..100) to the bandwidth value: q = (x - 1) * 0.01010101,
    // bw = 4 - (2q - q^2) * 3.99, in single precision; most of the travel sits at the low end.
    static float BandwidthFromPercent(float x);

    // Gain in tenths of dB to A = 10^(v * 0.0025), in double.
    static double GainFromTenthsDb(std::int32_t v);

    // Cookbook peaking/shelving biquad with alpha = sin(w0) / bandwidth and a shelf term
    // sqrt(2A) * alpha. The frequency is held below 0.49 * rate so the filter stays stable at
    // low rates. Not called per sample.
    void ComputeCoefficients(double rate);

    // Direct form I: y = ((b1*x1 + s*b0) + b2*x2) - a1*y1 - a2*y2, evaluated left to right.
    double Process(ToneState& h, double s) const {
        const double y = ((b1 * h.x1 + s * b0) + b2 * h.x2) - a1 * h.y1 - a2 * h.y2;
        h.x2 = h.x1;
        h.x1 = s;
        h.y2 = h.y1;
        h.y1 = y;
        return y;
    }
};
