#include "RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace halvane::render {

namespace {

constexpr long long kMinRate = 1000;
constexpr long long kMaxRate = 1000000;
constexpr long long kMaxBlock = 1 << 20;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool parseFormat(const std::string& text, SampleFormat& format) {
    static const struct {
        const char* name;
        SampleFormat format;
    } kFormats[] = {{"f32", SampleFormat::Float32},
                    {"f64", SampleFormat::Float64},
                    {"s24", SampleFormat::Pcm24},
                    {"s16", SampleFormat::Pcm16}};
    for (const auto& f : kFormats) {
        if (text == f.name) {
            format = f.format;
            return true;
        }
    }
    return false;
}

// Applies one option that takes a value; false with the reason in error.
bool applyOption(const std::string& name, const std::string& value, RenderOptions& options,
                 std::string& error) {
    long long whole = 0;
    if (name == "--plugin") {
        if (value.empty()) {
            error = "--plugin needs a bundle path";
            return false;
        }
        options.plugin = value;
    } else if (name == "--preset") {
        if (trim(value).empty()) {
            error = "--preset needs a preset name or index";
            return false;
        }
        options.preset = trim(value);
    } else if (name == "--preset-file" || name == "--plot") {
        if (value.empty()) {
            error = name + (name == "--plot" ? " needs a PNG file name" : " needs a .vstpreset file");
            return false;
        }
        (name == "--plot" ? options.plot : options.presetFile) = value;
    } else if (name == "--set") {
        const size_t equals = value.find('=');
        ParameterSetting setting;
        if (equals != std::string::npos) {
            setting.name = trim(value.substr(0, equals));
            setting.value = trim(value.substr(equals + 1));
        }
        if (equals == std::string::npos || setting.name.empty() || setting.value.empty()) {
            error = "--set expects NAME=VALUE, got \"" + value + "\"";
            return false;
        }
        options.settings.push_back(setting);
    } else if (name == "--rate") {
        if (!parseInteger(value, kMinRate, kMaxRate, whole)) {
            error = "--rate expects a whole number of Hz from 1000 to 1000000, got \"" + value + "\"";
            return false;
        }
        options.rate = static_cast<int>(whole);
    } else if (name == "--block") {
        if (!parseInteger(value, 1, kMaxBlock, whole)) {
            error = "--block expects a whole number of frames from 1 to 1048576, got \"" + value + "\"";
            return false;
        }
        options.block = static_cast<int>(whole);
    } else if (name == "--precision") {
        if (value != "32" && value != "64") {
            error = "--precision expects 32 or 64, got \"" + value + "\"";
            return false;
        }
        options.precision = value == "64" ? 64 : 32;
    } else if (name == "--tail") {
        double seconds = 0.0;
        if (value == "auto") {
            options.tailSeconds.reset();
        } else if (parseNumber(value, seconds) && seconds >= 0.0 && seconds <= kMaxTailSeconds) {
            options.tailSeconds = seconds;
        } else {
            error = "--tail expects auto or seconds from 0 to " +
                    std::to_string(static_cast<int>(kMaxTailSeconds)) + ", got \"" + value + "\"";
            return false;
        }
    } else if (name == "--format") {
        if (!parseFormat(value, options.format)) {
            error = "--format expects f32, f64, s24 or s16, got \"" + value + "\"";
            return false;
        }
    } else if (name == "--host-name") {
        options.hostName = value;
    } else {
        error = "unknown option " + name;
        return false;
    }
    return true;
}

bool takesValue(const std::string& name) {
    static const char* const kWithValue[] = {"--plugin",    "--preset", "--preset-file", "--plot",
                                             "--set",       "--rate",   "--block",       "--tail",
                                             "--precision", "--format", "--host-name"};
    for (const char* option : kWithValue)
        if (name == option)
            return true;
    return false;
}

} // namespace

std::string trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool parseNumber(const std::string& text, double& value) {
    const std::string t = trim(text);
    if (t.empty())
        return false;
    // strtod also reads "inf", "nan" and hexadecimal; only plain decimals are values here.
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool parseInteger(const std::string& text, long long min, long long max, long long& value) {
    const std::string t = trim(text);
    if (t.empty())
        return false;
    for (size_t i = 0; i < t.size(); ++i)
        if (!(t[i] >= '0' && t[i] <= '9') && !(i == 0 && (t[i] == '-' || t[i] == '+')))
            return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(t.c_str(), &end, 10);
    if (end != t.c_str() + t.size() || errno == ERANGE || parsed < min || parsed > max)
        return false;
    value = parsed;
    return true;
}

std::string optionName(const std::string& arg) {
    return arg.substr(0, arg.find('='));
}

bool optionValue(const std::string& arg, const std::string* next, std::string& value, bool& usedNext) {
    usedNext = false;
    const size_t equals = arg.find('=');
    if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
        return true;
    }
    if (!next)
        return false;
    value = *next;
    usedNext = true;
    return true;
}

bool parseArguments(const std::vector<std::string>& args, RenderOptions& options, std::string& error) {
    options = RenderOptions();
    std::vector<std::string> files;
    bool listPresets = false;
    bool listParams = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.mode = Mode::Help;
            return true;
        } else if (arg == "--list-presets") {
            listPresets = true;
        } else if (arg == "--list-params") {
            listParams = true;
        } else {
            const std::string name = optionName(arg);
            if (!takesValue(name)) {
                error = "unknown option " + name;
                return false;
            }
            std::string value;
            bool usedNext = false;
            if (!optionValue(arg, i + 1 < args.size() ? &args[i + 1] : nullptr, value, usedNext)) {
                error = name + " needs a value";
                return false;
            }
            if (usedNext)
                ++i;
            if (!applyOption(name, value, options, error))
                return false;
        }
    }

    if (listPresets && listParams) {
        error = "--list-presets and --list-params go one at a time";
        return false;
    }
    if (listPresets || listParams) {
        options.mode = listPresets ? Mode::ListPresets : Mode::ListParams;
        if (!files.empty()) {
            error = std::string(listPresets ? "--list-presets" : "--list-params") + " takes no files";
            return false;
        }
        return true;
    }
    if (!options.preset.empty() && !options.presetFile.empty()) {
        error = "--preset and --preset-file go one at a time";
        return false;
    }
    if (files.empty() && !options.plot.empty())
        return true;
    if (files.size() != 2) {
        error = files.size() < 2 ? "expected an input and an output file"
                                 : "too many files: expected IN.wav OUT.wav";
        return false;
    }
    options.input = files[0];
    options.output = files[1];
    return true;
}

std::string usageText(const std::string& defaultBundle) {
    return "Usage: halvane-render [options] IN.wav OUT.wav\n"
           "       halvane-render [options] --plot FILE.png [IN.wav OUT.wav]\n"
           "       halvane-render [--plugin BUNDLE] --list-presets | --list-params\n"
           "\n"
           "Runs an audio file through a VST 3 effect (by default Halvane) the way a host does,\n"
           "and writes the result with the effect's tail.\n"
           "\n"
           "Options:\n"
           "  --plugin BUNDLE      the .vst3 bundle to load\n"
           "                       (default: " +
           defaultBundle +
           ")\n"
           "  --preset NAME|INDEX  a factory preset, by name or number (see --list-presets)\n"
           "  --preset-file FILE   a VST 3 preset file (.vstpreset) saved for this effect\n"
           "  --set NAME=VALUE     set a parameter after the preset, by its name (see --list-params);\n"
           "                       VALUE is a number in the parameter's own unit (\"Time=5.5\") or\n"
           "                       one of its displayed texts (\"Stereo=Cone\"); may be repeated\n"
           "  --rate HZ            sample rate to process at (default: the input's). A different\n"
           "                       rate is not a conversion: the samples are processed and written\n"
           "                       as they are, so the sound plays faster or slower\n"
           "  --block FRAMES       frames per process call (default 512)\n"
           "  --precision 32|64    32-bit or 64-bit samples between host and effect (default 32)\n"
           "  --tail SECONDS|auto  how long to keep rendering after the input ends; auto renders\n"
           "                       the tail the effect reports (default auto)\n"
           "  --format f32|f64|s24|s16\n"
           "                       sample format of OUT.wav (default f32: 32-bit float)\n"
           "  --plot FILE.png      also draw the response: energy decay of each channel and decay\n"
           "                       time per octave band from where the input ends (without files,\n"
           "                       of a unit impulse), and the first 100 ms of the impulse response\n"
           "  --host-name TEXT     the host name the effect is told (default halvane-render)\n"
           "  --list-presets       list the effect's presets with their numbers\n"
           "  --list-params        list the effect's parameters: range, default and unit\n"
           "  --help               this text\n"
           "\n"
           "A mono input feeds both channels; the output is always stereo. OUT.wav appears only\n"
           "when the render succeeded. The last line printed sums the result up: preset, file,\n"
           "length, peak and RMS level, and how long the tail rings above -60 dBFS after the\n"
           "input ends.\n";
}

} // namespace halvane::render
