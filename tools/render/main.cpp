// halvane-render: runs a WAV file through a VST 3 effect (Halvane by default) from the command
// line and writes the result with its tail. See usageText for the options.

#include "AudioFile.h"
#include "HostedEffect.h"
#include "ImpulseInput.h"
#include "ImpulseResponse.h"
#include "LevelMeter.h"
#include "RenderOptions.h"
#include "ResponsePlot.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef HALVANE_DEFAULT_BUNDLE
#define HALVANE_DEFAULT_BUNDLE "Halvane.vst3"
#endif

using namespace halvane::render;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;
constexpr int kImpulseRate = 48000;
constexpr double kImpulseSeconds = 0.1; // as much of the impulse response as a plot shows

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

// "dir/Small - Chamber.vstpreset" -> "Small - Chamber"
std::string presetFileTitle(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

int fail(const std::string& message, int code = kExitFailure) {
    std::fprintf(stderr, "halvane-render: %s\n", message.c_str());
    return code;
}

// A line on stderr, rewritten in place, once a render has taken more than a second.
class ProgressLine {
  public:
    ProgressLine(double rate) : rate_(rate), start_(Clock::now()), last_(start_) {}

    void update(long long done, long long total) {
        const Clock::time_point now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) ||
            (shown_ && now - last_ < std::chrono::milliseconds(250)))
            return;
        last_ = now;
        shown_ = true;
        const double percent =
            total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0;
        std::fprintf(stderr, "\rrendering %3.0f %%  %.1f of %.1f s ", percent,
                     static_cast<double>(done) / rate_, static_cast<double>(total) / rate_);
        std::fflush(stderr);
    }

    // Clears the line so the summary starts on a clean one.
    void finish() {
        if (shown_)
            std::fprintf(stderr, "\r%40s\r", "");
        shown_ = false;
    }

  private:
    using Clock = std::chrono::steady_clock;
    double rate_;
    Clock::time_point start_;
    Clock::time_point last_;
    bool shown_ = false;
};

int render(const RenderOptions& options, const std::string& bundle, bool plotOnly = false) {
    AudioReader input;
    std::string error;
    if (!input.open(options.input, error))
        return fail(error);
    const int rate = options.rate.value_or(input.rate());

    RenderPlan plan;
    std::unique_ptr<HostedEffect> effect = HostedEffect::openFor(bundle, options, plan, error);
    if (!effect)
        return fail(error);

    AudioWriter output;
    if (!output.open(options.output, rate, options.format, error))
        return fail(error);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    ProgressLine progress(rate);
    LevelMeter meter;
    const bool rendered = effect->render(
        input, output, options, rate, plan,
        [&](long long done, long long total) {
            progress.update(done, total);
            return interrupted == 0;
        },
        meter, error);
    progress.finish();
    input.close();
    if (!rendered) {
        output.discard();
        return fail(error, interrupted ? kExitInterrupted : kExitFailure);
    }
    if (!output.commit(error))
        return fail(error);

    const bool integerFormat = options.format == SampleFormat::Pcm16 || options.format == SampleFormat::Pcm24;
    if (integerFormat && meter.peak() > 1.0)
        std::fprintf(stderr, "halvane-render: the output peaks above full scale and was clipped\n");
    const std::string preset = plan.hasPreset               ? plan.presetName
                               : options.presetFile.empty() ? "(no preset)"
                                                            : presetFileTitle(options.presetFile);
    const std::string shownFile = plotOnly ? options.plot : options.output;
    const double seconds = static_cast<double>(meter.frames()) / rate;
    const double ring = meter.ringSeconds(input.frames(), rate);
    std::printf("%-28s %-30s %6.2f s  peak %6.1f dBFS  RMS %6.1f dBFS  tail above -60 dBFS %5.2f s\n",
                preset.c_str(), shownFile.c_str(), seconds, LevelMeter::decibels(meter.peak()),
                LevelMeter::decibels(meter.rms()), ring);
    if (options.plot.empty())
        return 0;

    char summary[256];
    std::snprintf(summary, sizeof(summary),
                  "%s   %d Hz   length %.2f s   peak %.1f dBFS   RMS %.1f dBFS   tail above -60 dBFS %.2f s",
                  plotOnly ? "unit impulse"
                           : std::filesystem::path(options.input).filename().string().c_str(),
                  rate, seconds, LevelMeter::decibels(meter.peak()), LevelMeter::decibels(meter.rms()), ring);
    const PlotCaption caption{effect->className() + ": " + preset, summary, !plotOnly, ring};
    // After an input, the early part of the setting's response comes from an impulse of its own.
    ResponsePlot::Stereo impulse;
    if (!plotOnly && !ImpulseResponse::render(bundle, options, rate, kImpulseSeconds, impulse, error))
        return fail(error);
    if (!ResponsePlot::writeFromFile(options.plot, options.output, plotOnly ? 0 : input.frames(),
                                     plotOnly ? nullptr : &impulse, caption, error))
        return fail(error);
    return 0;
}

// --plot without files: a unit impulse through the effect, rendered in a private temporary folder.
int renderImpulse(RenderOptions options, const std::string& bundle) {
    ImpulseInput impulse;
    std::string error;
    if (!impulse.create(options.rate.value_or(kImpulseRate), error))
        return fail(error);
    options.input = impulse.impulsePath();
    options.output = impulse.responsePath();
    options.format = SampleFormat::Float64;
    return render(options, bundle, true);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    RenderOptions options;
    std::string error;
    if (!parseArguments(args, options, error))
        return fail(error + "\nTry 'halvane-render --help'.", kExitUsage);

    const std::string bundle = options.plugin.empty() ? HALVANE_DEFAULT_BUNDLE : options.plugin;
    switch (options.mode) {
    case Mode::Help:
        std::fputs(usageText(HALVANE_DEFAULT_BUNDLE).c_str(), stdout);
        return 0;
    case Mode::ListPresets:
    case Mode::ListParams: {
        std::unique_ptr<HostedEffect> effect = HostedEffect::open(bundle, options.hostName, error);
        if (!effect)
            return fail(error);
        if (options.mode == Mode::ListPresets)
            effect->listPresets(stdout);
        else
            effect->listParameters(stdout);
        return 0;
    }
    case Mode::Render:
        break;
    }
    const int result = options.input.empty() ? renderImpulse(options, bundle) : render(options, bundle);
    if (!options.plot.empty())
        ResponsePlot::releaseCaches(); // every instance and module is gone by now
    return result;
}
