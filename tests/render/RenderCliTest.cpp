// halvane-render run as a program on the test module (a stereo gain with a "Gain" and a list
// "Mode" parameter, no presets, no tail): the audio path through the host, the options that
// shape the file, and failures that must leave nothing behind.

#include "CliRunner.h"

#include <cmath>

using namespace halvane::render::test;

namespace {

const std::string kTestModule = HALVANE_TEST_MODULE_BUNDLE;

// Two channels that differ and are not exact in single precision.
Wav stereoRamp(size_t frames, int rate) {
    Wav wav;
    wav.rate = rate;
    wav.channels.assign(2, std::vector<double>(frames));
    for (size_t i = 0; i < frames; ++i) {
        wav.channels[0][i] = 0.1 + 0.0007 * static_cast<double>(i % 1000);
        wav.channels[1][i] = -0.3 * std::sin(0.01 * static_cast<double>(i));
    }
    return wav;
}

class RenderCli : public CliTest {
  protected:
    // Renders input.wav through the test module; out.wav on success.
    Outcome render(const Wav& input, std::vector<std::string> args) {
        EXPECT_TRUE(writeWav(path("input.wav"), input));
        args.insert(args.begin(), {"--plugin", kTestModule});
        args.push_back(path("input.wav"));
        args.push_back(path("out.wav"));
        return run(args);
    }
};

} // namespace

TEST_F(RenderCli, StereoGoesThroughTheEffectChannelForChannel) {
    const Wav input = stereoRamp(1003, 22050);
    // Gain is 2 x its normalised value and shows its plain value as the normalised one.
    const Outcome r = render(input, {"--set", "Gain=0.25", "--precision", "64", "--format", "f64"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Wav out = readWav(path("out.wav"));
    EXPECT_EQ(out.rate, 22050);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_EQ(out.frames(), input.frames()) << "the test module reports no tail";
    for (size_t i = 0; i < out.frames(); ++i) {
        ASSERT_EQ(out.channels[0][i], input.channels[0][i] * 0.5) << i;
        ASSERT_EQ(out.channels[1][i], input.channels[1][i] * 0.5) << i;
    }
    // One summary line: no preset, the file, its length and levels, no ringing.
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    EXPECT_NE(r.out.find("(no preset)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(path("out.wav")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 0.05 s"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("tail above -60 dBFS  0.00 s"), std::string::npos) << r.out;
    EXPECT_EQ(files(), (std::vector<std::string>{"input.wav", "out.wav"})) << "no temporary file left";
}

TEST_F(RenderCli, MonoInputFeedsBothChannels) {
    Wav input;
    input.rate = 48000;
    input.channels = {std::vector<double>{0.5, -0.25, 0.125, 0.0, 1.0}};
    const Outcome r = render(input, {"--precision", "64", "--format", "f64"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Wav out = readWav(path("out.wav"));
    ASSERT_EQ(out.channels.size(), 2u);
    EXPECT_EQ(out.channels[0], input.channels[0]);
    EXPECT_EQ(out.channels[1], input.channels[0]);
    EXPECT_NE(r.out.find("peak    0.0 dBFS"), std::string::npos) << r.out;
}

TEST_F(RenderCli, ThirtyTwoBitProcessingRoundsToFloat) {
    const Wav input = stereoRamp(300, 44100);
    const Outcome r = render(input, {"--format", "f64"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Wav out = readWav(path("out.wav"));
    ASSERT_EQ(out.frames(), input.frames());
    for (size_t i = 0; i < out.frames(); ++i)
        for (size_t c = 0; c < 2; ++c)
            ASSERT_EQ(out.channels[c][i], static_cast<double>(static_cast<float>(input.channels[c][i]))) << i;
    // The default output format is 32-bit float.
    ASSERT_EQ(render(input, {}).code, 0);
    EXPECT_EQ(readWav(path("out.wav")).format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
}

TEST_F(RenderCli, BlocksTailAndRateShapeTheFileNotTheSamples) {
    const Wav input = stereoRamp(1003, 1000);
    ASSERT_EQ(
        render(input, {"--precision", "64", "--format", "f64", "--block", "7", "--tail", "0.0105"}).code, 0);
    const Wav out = readWav(path("out.wav"));
    // 10.5 frames of tail round to 11; the last block is a short one.
    ASSERT_EQ(out.frames(), 1003u + 11u);
    for (size_t i = 0; i < out.frames(); ++i) {
        for (size_t c = 0; c < 2; ++c) {
            const double expected = i < 1003 ? input.channels[c][i] : 0.0;
            ASSERT_EQ(out.channels[c][i], expected) << "frame " << i << " channel " << c;
        }
    }

    // Another rate relabels the same samples.
    const Outcome r = render(input, {"--precision", "64", "--format", "f64", "--rate", "8000"});
    ASSERT_EQ(r.code, 0) << r.err;
    const Wav relabelled = readWav(path("out.wav"));
    EXPECT_EQ(relabelled.rate, 8000);
    EXPECT_EQ(relabelled.channels[0], input.channels[0]);
}

TEST_F(RenderCli, IntegerFormatsClipInsteadOfWrapping) {
    Wav input;
    input.rate = 44100;
    input.channels = {std::vector<double>{0.75, -0.75, 0.25}, std::vector<double>{0.0, 0.0, -0.25}};
    // Gain 2: 1.5 and -1.5 are beyond full scale.
    const Outcome r = render(input, {"--set", "Gain=1", "--format", "s16"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("clipped"), std::string::npos) << r.err;
    const Wav out = readWav(path("out.wav"));
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(out.frames(), 3u);
    EXPECT_GT(out.channels[0][0], 0.999);
    EXPECT_LE(out.channels[0][1], -0.999);
    EXPECT_NEAR(out.channels[0][2], 0.5, 1.0 / 32768);
    EXPECT_NEAR(out.channels[1][2], -0.5, 1.0 / 32768);

    ASSERT_EQ(render(input, {"--format", "s24"}).code, 0);
    EXPECT_EQ(readWav(path("out.wav")).format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
}

TEST_F(RenderCli, ListTextsSelectTheirValue) {
    // Mode is a list (A, B, C) the module ignores in its audio; accepted by text in any case.
    const Outcome r = render(stereoRamp(10, 44100), {"--set", "mode=b", "--set", "Mode=C"});
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(RenderCli, ListsTheParametersAsTheControllerShowsThem) {
    Outcome r = run({"--plugin", kTestModule, "--list-params"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Gain"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0 to 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0.5000"), std::string::npos) << "the default as displayed\n" << r.out;
    EXPECT_NE(r.out.find("A, B, C"), std::string::npos) << r.out;

    r = run({"--plugin", kTestModule, "--list-presets"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("no presets"), std::string::npos) << r.err;

    r = run({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("--list-params"), std::string::npos);
    EXPECT_NE(r.out.find("Halvane.vst3"), std::string::npos) << "the default bundle is named";
}

TEST_F(RenderCli, FailuresLeaveNoOutputBehind) {
    ASSERT_TRUE(writeWav(path("input.wav"), stereoRamp(100, 44100)));
    Wav surround = stereoRamp(10, 44100);
    surround.channels.push_back(surround.channels[0]);
    ASSERT_TRUE(writeWav(path("surround.wav"), surround));
    const std::string in = path("input.wav");
    const std::string out = path("out.wav");

    const struct {
        std::vector<std::string> args;
        const char* message;
        int code;
    } cases[] = {
        {{"--set", "Volume=1", in, out}, "unknown parameter \"Volume\"", 1},
        {{"--set", "Gain=2", in, out}, "outside 0 to 1", 1},
        {{"--set", "Gain=loud", in, out}, "not a number", 1},
        {{"--set", "Mode=D", in, out}, "nor one of: A, B, C", 1},
        {{"--preset", "0", in, out}, "no presets", 1},
        {{path("missing.wav"), out}, "no such file", 1},
        {{path("surround.wav"), out}, "only mono and stereo", 1},
        {{in, path("no-such-folder/out.wav")}, "cannot write", 1},
        {{in, path("")}, "it is a folder", 1},
        {{"--precision", "16", in, out}, "--precision", 2},
        {{"--volume", "3", in, out}, "unknown option --volume", 2},
        {{in}, "expected an input and an output file", 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--plugin", kTestModule};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome r = run(args);
        EXPECT_EQ(r.code, c.code) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_EQ(files(), (std::vector<std::string>{"input.wav", "surround.wav"})) << c.message;
    }

    // A plug-in that cannot be loaded, with an existing output left as it was.
    ASSERT_TRUE(writeWav(out, stereoRamp(5, 44100)));
    const Outcome r = run({"--plugin", path("Nothing.vst3"), in, out});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("cannot load the plug-in"), std::string::npos) << r.err;
    EXPECT_EQ(readWav(out).frames(), 5u);
    EXPECT_EQ(files(), (std::vector<std::string>{"input.wav", "out.wav", "surround.wav"}));
}
