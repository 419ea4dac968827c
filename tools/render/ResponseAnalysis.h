#pragma once

// How a rendered response decays, measured from where the source stops (the end of the input,
// or the impulse itself): per channel the energy decay curve — the energy still to come at each
// sample, backward-integrated, in dB of the energy at the start — the time it takes to fall by
// 60 dB, and the decay time per octave band from 125 Hz to 8 kHz, taken from the slope of the
// band's curve between -5 and -35 dB and scaled to 60 dB.

#include <array>
#include <vector>

namespace halvane::render {

struct ResponseAnalysis {
    static constexpr int kChannels = 2;
    static constexpr int kBands = 7;
    static constexpr std::array<double, kBands> kBandCentres = {125, 250, 500, 1000, 2000, 4000, 8000};

    double rate = 0.0;
    std::array<std::vector<double>, kChannels> response;
    // One value per sample of response; -inf once no energy is left.
    std::array<std::vector<double>, kChannels> decayDb;
    // Seconds from the start to the first sample 60 dB down; negative when the curve never gets
    // there (a silent channel).
    std::array<double, kChannels> sixtyDbSeconds{};
    // Seconds; NaN where a band cannot be measured (silent, above the Nyquist frequency, or too
    // short to reach -35 dB).
    std::array<std::array<double, kBands>, kChannels> bandDecaySeconds{};

    static ResponseAnalysis measure(std::vector<double> left, std::vector<double> right, double rate);
};

} // namespace halvane::render
