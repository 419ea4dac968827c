// Renders a short synthesised phrase through three factory presets of the effect and writes one WAV
// file per preset, with a one-line summary of each.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CLS_HALVANE.h"

namespace {

// Without a host, the host-facing operations have nobody to tell.
class StandaloneHalvane : public CLS_HALVANE {
public:
    void BeginParamEdit(int) override {}
    void ParamEdited(int, double) override {}
    void EndParamEdit(int) override {}
    int SamplePosition() override { return 0; }
    double Tempo() override { return 120.0; }
    void TimeSignature(int* numerator, int* denominator) override { *numerator = 4, *denominator = 4; }
    void ResizeEditor(int, int) override {}
    bool SendMidiMessage(const MidiMessage&) override { return false; }
};

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kPi = 3.14159265358979323846;

struct Stereo {
    std::vector<double> left, right;
};

// A plucked arpeggio, a few claps and a low note: transients and tones that show a reverb's character.
Stereo SynthesisePhrase() {
    const size_t n = static_cast<size_t>(kRate * 3.0);
    Stereo s{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    const double notes[] = {220.0, 277.18, 329.63, 440.0, 329.63, 277.18};
    for (size_t k = 0; k < 6; ++k) {
        size_t start = static_cast<size_t>(kRate * 0.25 * static_cast<double>(k));
        double pan = 0.2 + 0.12 * static_cast<double>(k);
        for (size_t i = 0; i < static_cast<size_t>(kRate * 0.6) && start + i < n; ++i) {
            double t = static_cast<double>(i) / kRate;
            double env = std::exp(-t * 7.0) * std::min(1.0, t * 400.0);
            double f = notes[k];
            double v = env * (std::sin(2 * kPi * f * t) + 0.4 * std::sin(4 * kPi * f * t) +
                              0.15 * std::sin(6 * kPi * f * t)) * 0.3;
            s.left[start + i] += v * (1.0 - pan);
            s.right[start + i] += v * pan;
        }
    }
    uint32_t seed = 12345;
    for (double at : {1.75, 2.0, 2.125}) {
        size_t start = static_cast<size_t>(kRate * at);
        for (size_t i = 0; i < static_cast<size_t>(kRate * 0.08) && start + i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            double noise = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
            double v = noise * std::exp(-static_cast<double>(i) / kRate * 60.0) * 0.5;
            s.left[start + i] += v;
            s.right[start + i] += v;
        }
    }
    for (size_t i = 0; i < static_cast<size_t>(kRate * 0.7); ++i) {
        size_t at = static_cast<size_t>(kRate * 2.25) + i;
        double t = static_cast<double>(i) / kRate;
        double v = std::sin(2 * kPi * 110.0 * t) * std::exp(-t * 5.0) * 0.4;
        s.left[at] += v;
        s.right[at] += v;
    }
    return s;
}

int PresetIndexByName(const CLS_HALVANE& plug, const char* name) {
    for (int i = 0; i < plug.PresetCount(); ++i) {
        if (std::strcmp(plug.PresetName(i), name) == 0) return i;
    }
    return -1;
}

bool WriteWavFloat(const std::string& path, const Stereo& audio) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint32_t frames = static_cast<uint32_t>(audio.left.size());
    const uint32_t dataBytes = frames * 2 * 4;
    auto u32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    std::fwrite("RIFF", 1, 4, f);
    u32(4 + (8 + 16) + (8 + 4) + (8 + dataBytes));
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(3);  // IEEE float
    u16(2);
    u32(static_cast<uint32_t>(kRate));
    u32(static_cast<uint32_t>(kRate) * 8);
    u16(8);
    u16(32);
    std::fwrite("fact", 1, 4, f);
    u32(4);
    u32(frames);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        float pair[2] = {static_cast<float>(audio.left[i]), static_cast<float>(audio.right[i])};
        std::fwrite(pair, 4, 2, f);
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string outDir = argc > 1 ? argv[1] : "out";
    const char* presets[] = {"Very Large - Stadium", "Small - Chamber", "FX - Ocean"};
    const char* files[] = {"very-large-stadium.wav", "small-chamber.wav", "fx-ocean.wav"};
    const Stereo phrase = SynthesisePhrase();

    for (int p = 0; p < 3; ++p) {
        StandaloneHalvane plug;
        // As a host does: every parameter once in index order, then the rate, a reset, then blocks.
        for (int i = 0; i < plug.ParamCount(); ++i) plug.ParamChanged(i);
        int index = PresetIndexByName(plug, presets[p]);
        if (index < 0 || !plug.LoadPreset(index)) {
            std::fprintf(stderr, "preset not found: %s\n", presets[p]);
            return 1;
        }
        plug.SetSampleRate(kRate);
        plug.SetMaxBlockSize(kBlock);
        plug.Reset();
        plug.SetInputConnections(0, 2, true);
        plug.SetOutputConnections(0, 2, true);

        // Room for the decay to reach -60 dBFS (72 dB over Time), at most a minute.
        double tailSeconds = std::min(60.0, plug.GetParam(kTime)->Value() * 1.5 + 1.0);
        size_t total = phrase.left.size() + static_cast<size_t>(tailSeconds * kRate);
        Stereo in{phrase.left, phrase.right};
        in.left.resize(total, 0.0);
        in.right.resize(total, 0.0);
        Stereo out{std::vector<double>(total), std::vector<double>(total)};
        for (size_t pos = 0; pos < total; pos += kBlock) {
            int n = static_cast<int>(std::min<size_t>(kBlock, total - pos));
            double* ins[] = {in.left.data() + pos, in.right.data() + pos};
            double* outs[] = {out.left.data() + pos, out.right.data() + pos};
            plug.AttachInputs(0, 2, ins, 2, n);
            plug.AttachOutputs(0, 2, outs, 2, n);
            plug.RunBlock(n);
        }

        double peak = 0.0, sumSquares = 0.0;
        size_t lastLoud = 0;
        for (size_t i = 0; i < total; ++i) {
            double a = std::max(std::fabs(out.left[i]), std::fabs(out.right[i]));
            peak = std::max(peak, a);
            sumSquares += out.left[i] * out.left[i] + out.right[i] * out.right[i];
            if (a > 0.001) lastLoud = i;  // -60 dBFS
        }
        double rms = std::sqrt(sumSquares / (2.0 * static_cast<double>(total)));
        double tail = lastLoud > phrase.left.size() ? static_cast<double>(lastLoud - phrase.left.size()) / kRate : 0.0;

        std::string path = outDir + "/" + files[p];
        if (!WriteWavFloat(path, out)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%-28s %-30s %6.2f s  peak %6.1f dBFS  RMS %6.1f dBFS  tail above -60 dB %5.2f s\n",
                    presets[p], path.c_str(), static_cast<double>(total) / kRate, 20.0 * std::log10(peak),
                    20.0 * std::log10(rms), tail);
    }
    return 0;
}
