#pragma once

// halvane-render's command line: what it asks for, parsed without touching files or the
// plug-in, so every rule here can be tested on its own.

#include <optional>
#include <string>
#include <vector>

namespace halvane::render {

enum class Mode { Render, ListPresets, ListParams, Help };

// Sample formats of the output file.
enum class SampleFormat { Float32, Float64, Pcm24, Pcm16 };

// The longest tail rendered after the input, in seconds: the most --tail accepts; a plug-in that
// reports a longer (or infinite) tail needs --tail.
constexpr double kMaxTailSeconds = 3600.0;

// One --set NAME=VALUE, as typed (both sides trimmed of blanks).
struct ParameterSetting {
    std::string name;
    std::string value;
};

struct RenderOptions {
    Mode mode = Mode::Render;
    std::string plugin;     // empty: the default bundle
    std::string preset;     // empty: none
    std::string presetFile; // a .vstpreset to load instead of a factory preset; empty: none
    std::string plot;       // a PNG of the response to draw; empty: none
    std::vector<ParameterSetting> settings;
    std::optional<int> rate; // empty: the input's rate
    int block = 512;
    int precision = 32;
    std::optional<double> tailSeconds; // empty: the tail the plug-in reports
    SampleFormat format = SampleFormat::Float32;
    std::string hostName = "halvane-render";
    std::string input;
    std::string output;
};

// Parses the arguments after the program name. False with a one-line reason in error when an
// option is unknown, lacks its value or has a value out of range, or the files are wrong for
// the mode. With --plot the files may be left out: a unit impulse is then rendered and only drawn.
bool parseArguments(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

std::string usageText(const std::string& defaultBundle);

// The whole text as a finite decimal number, blanks around it allowed.
bool parseNumber(const std::string& text, double& value);
// The whole text as a whole number within [min, max].
bool parseInteger(const std::string& text, long long min, long long max, long long& value);

std::string trim(const std::string& text);

// An option written "--name=value" or "--name value": its name, and its value when `next` (the
// following argument, null at the end) is taken or the value follows "=". Returns false when neither
// holds a value; `usedNext` says whether the following argument was taken.
std::string optionName(const std::string& arg);
bool optionValue(const std::string& arg, const std::string* next, std::string& value, bool& usedNext);

} // namespace halvane::render
