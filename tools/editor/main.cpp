// halvane-editor: Halvane's editor in a window of its own on Linux, hosted as a DAW hosts it. The
// bundle is loaded through the host library, the instance started, its view embedded in a top-level X
// window and driven by our run loop, while the plug-in processes silence (or a WAV file, looped) paced
// to real time. The output is dropped: there is no sound device. Every parameter change the editor
// makes is printed. One thread; the loop ends when the window is closed or on Ctrl+C.

#include "AudioFile.h"
#include "Lookup.h"
#include "RenderOptions.h"

#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "ProcessBuffers.h"
#include "RunLoop.h"
#include "Utf16Text.h"
#include "X11ParentWindow.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <X11/Xlib.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifndef HALVANE_DEFAULT_BUNDLE
#define HALVANE_DEFAULT_BUNDLE "Halvane.vst3"
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr double kDefaultRate = 48000.0;
constexpr int32 kBlock = 256;
// The audio timer's period: a little under one block at 48 kHz, so blocks keep up with the clock.
constexpr int kAudioPeriodMs = 5;
// After a stall (a debugger, a slow host call) the audio skips ahead rather than catching up.
constexpr double kMaxCatchUpSeconds = 0.1;
// How long the editor may take to show its window in ours after attached.
constexpr int kChildWindowWaitMs = 2000;

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

// A plug-in's X error must not end the host, as Xlib's default handler would.
int onXError(Display* display, XErrorEvent* event) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "halvane-editor: X error: %s (request %d.%d, resource 0x%lx)\n", text,
                 event->request_code, event->minor_code, event->resourceid);
    return 0;
}

int fail(const std::string& message, int code = kExitFailure) {
    std::fprintf(stderr, "halvane-editor: %s\n", message.c_str());
    return code;
}

struct Options {
    std::string bundle = HALVANE_DEFAULT_BUNDLE;
    std::string preset;
    std::string input;
    bool help = false;
    bool listPresets = false;
};

std::string usageText() {
    return "usage: halvane-editor [--preset NAME|NUMBER] [--input FILE.wav] [BUNDLE]\n"
           "       halvane-editor --list-presets [BUNDLE]\n"
           "\n"
           "Opens Halvane's editor in a window, hosted as a DAW hosts it: the plug-in processes silence,\n"
           "or FILE.wav looped, in real time (the sound is not played), and each parameter change made in\n"
           "the editor is printed. Close the window or press Ctrl+C to quit.\n"
           "\n"
           "  --preset NAME|NUMBER  start from a factory preset (--list-presets shows them)\n"
           "  --input FILE.wav      a mono or stereo WAV file to process, looped, at its own rate\n"
           "                        (without it: silence at 48000 Hz)\n"
           "  BUNDLE                the VST 3 bundle (default: " HALVANE_DEFAULT_BUNDLE ")\n";
}

bool parseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
    bool bundleGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        }
        if (arg == "--list-presets") {
            options.listPresets = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            const std::string name = render::optionName(arg);
            if (name != "--preset" && name != "--input") {
                error = "unknown option " + name;
                return false;
            }
            std::string value;
            bool usedNext = false;
            render::optionValue(arg, i + 1 < args.size() ? &args[i + 1] : nullptr, value, usedNext);
            if (usedNext)
                ++i;
            if (render::trim(value).empty()) {
                error = name + (name == "--preset" ? " needs a preset name or number" : " needs a WAV file");
                return false;
            }
            if (name == "--preset")
                options.preset = render::trim(value);
            else
                options.input = value;
            continue;
        }
        if (bundleGiven) {
            error = "more than one bundle: " + options.bundle + " and " + arg;
            return false;
        }
        options.bundle = arg;
        bundleGiven = true;
    }
    return true;
}

// The audio the plug-in processes: silence, or a WAV file played round and round.
class AudioFeed {
  public:
    bool open(const std::string& path, std::string& error) {
        path_ = path;
        return file_.open(path, error);
    }
    bool hasFile() const { return !path_.empty(); }
    int rate() const { return file_.rate(); }

    // count frames into left and right.
    void read(float* left, float* right, int count) {
        int done = 0;
        while (hasFile() && done < count) {
            std::string error;
            const long long got = file_.read(left + done, right + done, count - done, error);
            if (got < 0 || (got == 0 && !rewind(error))) {
                std::fprintf(stderr, "halvane-editor: %s; going on with silence\n", error.c_str());
                path_.clear();
                break;
            }
            done += static_cast<int>(got);
        }
        std::fill(left + done, left + count, 0.0f);
        std::fill(right + done, right + count, 0.0f);
    }

  private:
    bool rewind(std::string& error) {
        file_.close();
        if (!file_.open(path_, error))
            return false;
        if (file_.frames() == 0) {
            error = path_ + " holds no audio";
            return false;
        }
        return true;
    }

    std::string path_;
    render::AudioReader file_;
};

// The plug-in started as a DAW starts an insert effect, and its blocks paced to the clock.
class AudioEngine {
  public:
    AudioEngine(host::PluginInstance& plug, AudioFeed& feed, double rate)
        : plug_(plug), feed_(feed), rate_(rate), buffers_(kSample32, kBlock),
          in_(owned(new host::ParameterChanges())), out_(owned(new host::ParameterChanges())) {}

    bool start(std::string& error) {
        SpeakerArrangement stereo[] = {SpeakerArr::kStereo};
        SpeakerArrangement stereoOut[] = {SpeakerArr::kStereo};
        if (plug_.processor()->setBusArrangements(stereo, 1, stereoOut, 1) != kResultOk) {
            error = "the plug-in does not accept a stereo input and output";
            return false;
        }
        if (plug_.activateDefaultBuses() != kResultOk ||
            plug_.setupProcessing(rate_, kBlock, kSample32, kRealtime) != kResultOk ||
            plug_.setActive(true) != kResultOk) {
            error = "the plug-in did not start at " + std::to_string(static_cast<int>(rate_)) + " Hz";
            return false;
        }
        plug_.setProcessing(true); // its answer does not matter
        context_.state = ProcessContext::kPlaying;
        context_.sampleRate = rate_;
        return true;
    }

    // A change for the next block, as a DAW forwards the editor's edits and its own automation.
    void queue(ParamID id, ParamValue value) { in_->addChange(id, 0, value); }

    // A block without audio that delivers what is queued now.
    void flush() { run(0); }

    // The blocks the clock asks for since the last call.
    void keepPace() {
        const Clock::time_point now = Clock::now();
        if (!started_) {
            started_ = true;
            start_ = now;
        }
        const auto target =
            static_cast<long long>(std::chrono::duration<double>(now - start_).count() * rate_);
        if (target - framesDone_ > static_cast<long long>(kMaxCatchUpSeconds * rate_))
            framesDone_ = target - kBlock;
        while (target - framesDone_ >= kBlock) {
            run(kBlock);
            framesDone_ += kBlock;
        }
    }

  private:
    using Clock = std::chrono::steady_clock;

    void run(int32 frames) {
        if (frames > 0)
            feed_.read(buffers_.channel32(kInput, 0, 0), buffers_.channel32(kInput, 0, 1), frames);
        context_.projectTimeSamples = framesDone_;
        plug_.process(buffers_.prepare(frames, in_, out_, &context_));
        in_->clear();
        // What the plug-in changed itself (a preset's values) reaches its controller, as in a DAW.
        for (int32 i = 0; i < out_->getParameterCount(); ++i) {
            IParamValueQueue* queue = out_->getParameterData(i);
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue && queue->getPointCount() > 0 &&
                queue->getPoint(queue->getPointCount() - 1, offset, value) == kResultOk)
                plug_.controller()->setParamNormalized(queue->getParameterId(), value);
        }
        out_->clear();
    }

    host::PluginInstance& plug_;
    AudioFeed& feed_;
    double rate_;
    host::ProcessBuffers buffers_;
    IPtr<host::ParameterChanges> in_;
    IPtr<host::ParameterChanges> out_;
    ProcessContext context_{};
    bool started_ = false;
    Clock::time_point start_;
    long long framesDone_ = 0;
};

// "Time = 3.40 s": each value the editor sets, as the plug-in shows it.
class EditPrinter {
  public:
    explicit EditPrinter(host::PluginInstance& plug) : plug_(plug) {
        for (const ParameterInfo& info : plug.parameters())
            parameters_[info.id] = info;
    }

    // Prints the edits made since the last call and hands them to the processor.
    void drain(AudioEngine& audio) {
        host::ComponentHandler& handler = plug_.componentHandler();
        const std::vector<host::EditEvent> edits = handler.edits();
        handler.clear();
        for (const host::EditEvent& edit : edits) {
            if (edit.kind != host::EditEvent::Kind::Perform)
                continue;
            audio.queue(edit.id, edit.value);
            print(edit.id, edit.value);
        }
    }

  private:
    void print(ParamID id, ParamValue value) const {
        const auto found = parameters_.find(id);
        if (found == parameters_.end()) {
            std::printf("parameter %u = %.4f\n", id, value);
        } else {
            String128 text = {};
            std::string shown;
            if (plug_.controller()->getParamStringByValue(id, value, text) == kResultOk)
                shown = utf16ToUtf8(text, 128);
            else
                shown = render::formatPlain(plug_.controller()->normalizedParamToPlain(id, value));
            const std::string unit = utf16ToUtf8(found->second.units, 128);
            std::printf("%s = %s%s%s\n", host::parameterTitle(found->second).c_str(), shown.c_str(),
                        unit.empty() ? "" : " ", unit.c_str());
        }
        std::fflush(stdout);
    }

    host::PluginInstance& plug_;
    std::map<ParamID, ParameterInfo> parameters_;
};

std::unique_ptr<host::PluginInstance> createInstance(const std::string& bundle, std::string& error) {
    std::string reason;
    std::shared_ptr<host::Module> module = host::Module::open(bundle, reason);
    if (!module) {
        error = "cannot load the plug-in " + bundle + ": " + reason;
        return nullptr;
    }
    host::ClassInfo effect;
    if (!module->findClass(kVstAudioEffectClass, effect)) {
        error = bundle + " holds no audio effect class";
        return nullptr;
    }
    std::unique_ptr<host::PluginInstance> plug =
        host::PluginInstance::create(module, effect.cid, "halvane-editor", reason);
    if (!plug) {
        error = "cannot create \"" + effect.name + "\" from " + bundle + ": " + reason;
        return nullptr;
    }
    if (!plug->controller()) {
        error = "\"" + effect.name + "\" has no edit controller";
        return nullptr;
    }
    return plug;
}

// The program change the preset asks for, applied before the editor opens (it shows the preset).
bool applyPreset(host::PluginInstance& plug, AudioEngine& audio, const std::string& preset,
                 std::string& error) {
    const std::vector<std::string> names = plug.programNames();
    int index = 0;
    if (!render::resolvePreset(names, preset, index, error))
        return false;
    ParameterInfo program{};
    plug.findProgramParameter(program);
    const int32 steps = program.stepCount > 0 ? program.stepCount : static_cast<int32>(names.size()) - 1;
    const ParamValue value = steps > 0 ? static_cast<double>(index) / steps : 0.0;
    plug.controller()->setParamNormalized(program.id, value);
    audio.queue(program.id, value);
    audio.flush();
    std::fprintf(stderr, "halvane-editor: preset %d, %s\n", index, names[static_cast<size_t>(index)].c_str());
    return true;
}

int listPresets(const std::string& bundle) {
    std::string error;
    std::unique_ptr<host::PluginInstance> plug = createInstance(bundle, error);
    if (!plug)
        return fail(error);
    const std::vector<std::string> names = plug->programNames();
    if (names.empty())
        return fail("the plug-in has no presets");
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty())
            std::printf("%3d  %s\n", static_cast<int>(i), names[i].c_str());
    return 0;
}

// The view embedded in the window until the window is closed or Ctrl+C; then removed and released.
int runEditor(host::PluginInstance& plug, AudioEngine& audio) {
    IPtr<IPlugView> view = owned(plug.controller()->createView(ViewType::kEditor));
    if (!view)
        return fail("the plug-in offers no editor view");
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
        return fail("this build of the plug-in has no editor window for Linux yet (its view does not take "
                    "an X11 window)");
    ViewRect size(0, 0, 514, 420);
    view->getSize(&size);

    // From here on Ctrl+C ends the session the way closing the window does.
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND; // a second Ctrl+C ends a host that hangs; no restart, so poll wakes
    sigaction(SIGINT, &action, nullptr);

    std::string error;
    std::unique_ptr<host::X11ParentWindow> window =
        host::X11ParentWindow::open(size.getWidth(), size.getHeight(), "Halvane", error);
    if (!window)
        return fail(error);
    XSetErrorHandler(onXError);

    IPtr<host::RunLoop> loop = owned(new host::RunLoop());
    loop->setResizeHandler([&](IPlugView* resized, const ViewRect& rect) {
        window->resize(rect.getWidth(), rect.getHeight());
        ViewRect confirmed = rect;
        resized->onSize(&confirmed);
        return kResultTrue;
    });
    loop->watchHostFd(window->fd(), [&] { window->pump(); });
    loop->addHostTimer(kAudioPeriodMs, [&] { audio.keepPace(); });
    view->setFrame(loop);
    if (view->attached(window->parentHandle(), kPlatformTypeX11EmbedWindowID) != kResultOk) {
        view->setFrame(nullptr);
        return fail("the plug-in could not open its editor in an X11 window");
    }
    const bool shown = loop->runUntil([&] { return !window->children().empty(); }, kChildWindowWaitMs);
    if (!shown) {
        view->removed();
        view->setFrame(nullptr);
        return fail("the editor opened no window in ours");
    }
    std::fprintf(stderr, "halvane-editor: editor open; close its window or press Ctrl+C to quit\n");

    EditPrinter printer(plug);
    while (!interrupted && !window->closeRequested()) {
        loop->runOnce(100);
        window->pump(); // events Xlib read while flushing never make the descriptor readable
        printer.drain(audio);
    }
    std::signal(SIGINT, SIG_DFL);

    view->removed();
    if (loop->eventHandlerCount() || loop->timerCount())
        std::fprintf(stderr,
                     "halvane-editor: the editor left %zu descriptor handler(s) and %zu timer(s) "
                     "registered after removed\n",
                     loop->eventHandlerCount(), loop->timerCount());
    view->setFrame(nullptr);
    view = nullptr;
    printer.drain(audio); // the end of a gesture sent on closing
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Options options;
    std::string error;
    if (!parseArguments(args, options, error))
        return fail(error + "\nTry 'halvane-editor --help'.", kExitUsage);
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (options.listPresets)
        return listPresets(options.bundle);

    AudioFeed feed;
    if (!options.input.empty() && !feed.open(options.input, error))
        return fail(error);
    std::unique_ptr<host::PluginInstance> plug = createInstance(options.bundle, error);
    if (!plug)
        return fail(error);
    AudioEngine audio(*plug, feed, feed.hasFile() ? feed.rate() : kDefaultRate);
    if (!audio.start(error))
        return fail(error);
    if (!options.preset.empty() && !applyPreset(*plug, audio, options.preset, error))
        return fail(error);
    // The instance stops (processing, then active) when plug goes, after the view.
    return runEditor(*plug, audio);
}
