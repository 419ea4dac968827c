#pragma once

// A picture of a response, drawn with cairo into a PNG: the energy decay curve of each channel in
// dB over time with its -60 dB point marked, the decay time per octave band as a small table, and
// the first 100 ms of the impulse response, under a title and the render's summary line.

#include "ResponseAnalysis.h"

#include <string>

namespace halvane::render {

struct PlotCaption {
    std::string title;        // effect and preset
    std::string summary;      // the figures of the render: length, levels, tail
    bool afterInput = false;  // the response is what follows an input file, not an impulse
    double tailSeconds = 0.0; // how long the level stays above -60 dBFS, from the same start
};

class ResponsePlot {
  public:
    static constexpr int kWidth = 1000;
    static constexpr int kHeight = 720;

    using Stereo = std::array<std::vector<double>, ResponseAnalysis::kChannels>;

    // The decay of `analysis` and the first 100 ms of `impulse`; false with the reason in error
    // when the PNG cannot be written.
    static bool write(const std::string& path, const ResponseAnalysis& analysis, const Stereo& impulse,
                      const PlotCaption& caption, std::string& error);
    // The response in a rendered WAV file from startFrame on (at most two minutes of it, so memory
    // stays bounded), measured and drawn; without `impulse` that response is the impulse response.
    static bool writeFromFile(const std::string& path, const std::string& renderedWav, long long startFrame,
                              const Stereo* impulse, const PlotCaption& caption, std::string& error);

    // Frees what cairo and fontconfig keep for the rest of the process, so a leak checker sees
    // none of it. Only once no cairo object is left and no loaded module uses fontconfig: at exit.
    static void releaseCaches();
};

} // namespace halvane::render
