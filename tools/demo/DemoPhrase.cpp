// Writes the demo phrase that `make demo` runs through Halvane: plucked notes, claps and a low
// note (transients and tones that show a reverb's character), 3 s of stereo at 48 kHz as a
// 32-bit float WAV.

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kPi = 3.14159265358979323846;

struct Stereo {
    std::vector<double> left, right;
};

Stereo SynthesisePhrase() {
    const double rate = kRate;
    const size_t n = static_cast<size_t>(rate * 3.0);
    Stereo s{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    const double notes[] = {220.0, 277.18, 329.63, 440.0, 329.63, 277.18};
    for (size_t k = 0; k < 6; ++k) {
        size_t start = static_cast<size_t>(rate * 0.25 * static_cast<double>(k));
        double pan = 0.2 + 0.12 * static_cast<double>(k);
        for (size_t i = 0; i < static_cast<size_t>(rate * 0.6) && start + i < n; ++i) {
            double t = static_cast<double>(i) / rate;
            double env = std::exp(-t * 7.0) * std::min(1.0, t * 400.0);
            double f = notes[k];
            double v = env *
                       (std::sin(2 * kPi * f * t) + 0.4 * std::sin(4 * kPi * f * t) +
                        0.15 * std::sin(6 * kPi * f * t)) *
                       0.3;
            s.left[start + i] += v * (1.0 - pan);
            s.right[start + i] += v * pan;
        }
    }
    uint32_t seed = 12345;
    for (double at : {1.75, 2.0, 2.125}) {
        size_t start = static_cast<size_t>(rate * at);
        for (size_t i = 0; i < static_cast<size_t>(rate * 0.08) && start + i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            double noise = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
            double v = noise * std::exp(-static_cast<double>(i) / rate * 60.0) * 0.5;
            s.left[start + i] += v;
            s.right[start + i] += v;
        }
    }
    for (size_t i = 0; i < static_cast<size_t>(rate * 0.7); ++i) {
        size_t at = static_cast<size_t>(rate * 2.25) + i;
        double t = static_cast<double>(i) / rate;
        double v = std::sin(2 * kPi * 110.0 * t) * std::exp(-t * 5.0) * 0.4;
        s.left[at] += v;
        s.right[at] += v;
    }
    return s;
}

bool WriteWav(const std::string& path, const Stereo& audio) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<double> frames;
    for (size_t i = 0; i < audio.left.size(); ++i) {
        frames.push_back(audio.left[i]);
        frames.push_back(audio.right[i]);
    }
    const auto count = static_cast<sf_count_t>(audio.left.size());
    const bool written = sf_writef_double(file, frames.data(), count) == count;
    return sf_close(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "demo-phrase.wav";
    if (!WriteWav(path, SynthesisePhrase())) {
        std::fprintf(stderr, "halvane-demo-phrase: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
