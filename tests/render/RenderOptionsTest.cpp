// halvane-render's command line: defaults, both option spellings, and every way an argument
// can be wrong.

#include "RenderOptions.h"

#include <gtest/gtest.h>

using namespace halvane::render;

namespace {

RenderOptions parsed(const std::vector<std::string>& args) {
    RenderOptions options;
    std::string error;
    EXPECT_TRUE(parseArguments(args, options, error)) << error;
    return options;
}

std::string rejection(const std::vector<std::string>& args) {
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(parseArguments(args, options, error));
    return error;
}

} // namespace

TEST(RenderOptions, DefaultsForARender) {
    const RenderOptions o = parsed({"in.wav", "out.wav"});
    EXPECT_EQ(o.mode, Mode::Render);
    EXPECT_EQ(o.input, "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_TRUE(o.plugin.empty());
    EXPECT_TRUE(o.preset.empty());
    EXPECT_TRUE(o.settings.empty());
    EXPECT_FALSE(o.rate.has_value());
    EXPECT_EQ(o.block, 512);
    EXPECT_EQ(o.precision, 32);
    EXPECT_FALSE(o.tailSeconds.has_value());
    EXPECT_EQ(o.format, SampleFormat::Float32);
    EXPECT_EQ(o.hostName, "halvane-render");
}

TEST(RenderOptions, EveryOptionInBothSpellings) {
    const RenderOptions o =
        parsed({"--plugin", "x.vst3", "--preset=FX - Ocean", "--set", "Stereo = Cone",
                "--set=Mono Position=-50", "--rate", "44100", "--block=64", "--precision", "64", "--tail=2.5",
                "--format", "s24", "--host-name=Cubase", "a.wav", "b.wav"});
    EXPECT_EQ(o.plugin, "x.vst3");
    EXPECT_EQ(o.preset, "FX - Ocean");
    ASSERT_EQ(o.settings.size(), 2u);
    EXPECT_EQ(o.settings[0].name, "Stereo");
    EXPECT_EQ(o.settings[0].value, "Cone");
    // The first '=' splits, so values may start with a sign or hold further '='.
    EXPECT_EQ(o.settings[1].name, "Mono Position");
    EXPECT_EQ(o.settings[1].value, "-50");
    EXPECT_EQ(o.rate, 44100);
    EXPECT_EQ(o.block, 64);
    EXPECT_EQ(o.precision, 64);
    EXPECT_EQ(o.tailSeconds, 2.5);
    EXPECT_EQ(o.format, SampleFormat::Pcm24);
    EXPECT_EQ(o.hostName, "Cubase");
    EXPECT_EQ(o.input, "a.wav");
    EXPECT_EQ(o.output, "b.wav");

    EXPECT_EQ(parsed({"--format", "f64", "a", "b"}).format, SampleFormat::Float64);
    EXPECT_EQ(parsed({"--format", "s16", "a", "b"}).format, SampleFormat::Pcm16);
    EXPECT_FALSE(parsed({"--tail", "5", "--tail", "auto", "a", "b"}).tailSeconds.has_value());
    EXPECT_EQ(parsed({"--tail", "0", "a", "b"}).tailSeconds, 0.0);
}

TEST(RenderOptions, ModesAndFiles) {
    EXPECT_EQ(parsed({"--list-presets"}).mode, Mode::ListPresets);
    EXPECT_EQ(parsed({"--plugin", "x.vst3", "--list-params"}).mode, Mode::ListParams);
    // Help wins over anything else on the line, even mistakes after it.
    EXPECT_EQ(parsed({"a.wav", "--help", "--bogus"}).mode, Mode::Help);
    EXPECT_EQ(parsed({"-h"}).mode, Mode::Help);
    // After "--" a file may start with a dash.
    const RenderOptions o = parsed({"--", "-in.wav", "--out.wav"});
    EXPECT_EQ(o.input, "-in.wav");
    EXPECT_EQ(o.output, "--out.wav");
    // A plot needs no files (it then shows an impulse), or both.
    const RenderOptions plot = parsed({"--plot", "p.png", "--preset-file=x.vstpreset"});
    EXPECT_EQ(plot.plot, "p.png");
    EXPECT_EQ(plot.presetFile, "x.vstpreset");
    EXPECT_TRUE(plot.input.empty());
    EXPECT_EQ(parsed({"--plot=p.png", "a", "b"}).output, "b");
}

TEST(RenderOptions, RejectsWhatItCannotUse) {
    EXPECT_NE(rejection({"--bogus", "a", "b"}).find("unknown option --bogus"), std::string::npos);
    EXPECT_NE(rejection({"--list-paramz"}).find("--list-paramz"), std::string::npos);
    EXPECT_NE(rejection({"a", "b", "--rate"}).find("--rate needs a value"), std::string::npos);
    EXPECT_FALSE(rejection({"a.wav"}).empty());
    EXPECT_FALSE(rejection({}).empty());
    EXPECT_FALSE(rejection({"a", "b", "c"}).empty());
    EXPECT_FALSE(rejection({"--list-presets", "a.wav"}).empty());
    EXPECT_FALSE(rejection({"--list-presets", "--list-params"}).empty());

    for (const char* bad : {"44.1k", "0", "999", "1000001", "", "-48000", "48000x"})
        EXPECT_NE(rejection({"--rate", bad, "a", "b"}).find("--rate"), std::string::npos) << bad;
    for (const char* bad : {"0", "-1", "1048577", "5.5", "many"})
        EXPECT_FALSE(rejection({"--block", bad, "a", "b"}).empty()) << bad;
    for (const char* bad : {"16", "32.0", "double"})
        EXPECT_FALSE(rejection({"--precision", bad, "a", "b"}).empty()) << bad;
    for (const char* bad : {"-1", "3601", "nan", "inf", "forever", "", "1e999"})
        EXPECT_FALSE(rejection({"--tail", bad, "a", "b"}).empty()) << bad;
    for (const char* bad : {"float", "F32", "s32", ""})
        EXPECT_FALSE(rejection({"--format", bad, "a", "b"}).empty()) << bad;
    for (const char* bad : {"Time", "=5", "Time=", " = "})
        EXPECT_NE(rejection({"--set", bad, "a", "b"}).find("NAME=VALUE"), std::string::npos) << bad;
    EXPECT_FALSE(rejection({"--preset", " ", "a", "b"}).empty());
    EXPECT_FALSE(rejection({"--plugin=", "a", "b"}).empty());
    EXPECT_FALSE(rejection({"--plot", "p.png", "a.wav"}).empty());
    EXPECT_FALSE(rejection({"--plot=", "a", "b"}).empty());
    EXPECT_NE(rejection({"--preset", "1", "--preset-file", "x.vstpreset", "a", "b"}).find("one at a time"),
              std::string::npos);
}

TEST(RenderOptions, NumbersAreWholeTextsInPlainDecimal) {
    double d = -1.0;
    EXPECT_TRUE(parseNumber(" 5.5 ", d));
    EXPECT_EQ(d, 5.5);
    EXPECT_TRUE(parseNumber("-1e-3", d));
    EXPECT_EQ(d, -0.001);
    EXPECT_TRUE(parseNumber("+.5", d));
    EXPECT_EQ(d, 0.5);
    for (const char* bad : {"", " ", "5.5s", "1,5", "0x10", "inf", "nan", "1e400", "--1", "1-"})
        EXPECT_FALSE(parseNumber(bad, d)) << bad;

    long long n = 0;
    EXPECT_TRUE(parseInteger("-100", -100, 100, n));
    EXPECT_EQ(n, -100);
    EXPECT_TRUE(parseInteger("+7", 0, 10, n));
    EXPECT_EQ(n, 7);
    for (const char* bad : {"", "-101", "101", "1.0", "1e2", "99999999999999999999", "- 1"})
        EXPECT_FALSE(parseInteger(bad, -100, 100, n)) << bad;

    EXPECT_EQ(trim(" \tFX - Ocean \r\n"), "FX - Ocean");
    EXPECT_EQ(trim("   "), "");
}
