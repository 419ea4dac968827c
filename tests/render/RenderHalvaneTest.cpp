// halvane-render with its default plug-in, the Halvane module of this build: the impulse
// response through the whole host path, the order of preset and settings, block-size
// independence, the tail, and the preset and parameter lists.

#include "CliRunner.h"

#include <cstdint>

using namespace halvane::render::test;

namespace {

Wav impulse(size_t frames, int rate) {
    Wav wav;
    wav.rate = rate;
    wav.channels.assign(2, std::vector<double>(frames, 0.0));
    wav.channels[0][0] = 1.0;
    return wav;
}

// A short stereo noise burst: something for every part of the reverb to work on.
Wav noiseBurst(size_t frames, int rate) {
    Wav wav;
    wav.rate = rate;
    wav.channels.assign(2, std::vector<double>(frames, 0.0));
    uint32_t seed = 1;
    for (size_t i = 0; i < frames / 4; ++i) {
        for (auto& channel : wav.channels) {
            seed = seed * 1664525u + 1013904223u;
            channel[i] = (static_cast<double>(seed >> 8) / 8388608.0 - 1.0) * 0.5;
        }
    }
    return wav;
}

class RenderHalvane : public CliTest {
  protected:
    // Renders input.wav to name with the default plug-in, in 64-bit all the way.
    Wav render(const Wav& input, std::vector<std::string> args, const std::string& name = "out.wav") {
        EXPECT_TRUE(writeWav(path("input.wav"), input));
        args.insert(args.end(), {"--precision", "64", "--format", "f64", path("input.wav"), path(name)});
        last = run(args);
        EXPECT_EQ(last.code, 0) << last.err;
        return readWav(path(name));
    }

    Outcome last;
};

} // namespace

TEST_F(RenderHalvane, ImpulseResponseThroughTheModule) {
    const Wav out = render(impulse(1000, 44100), {"--set", "EQ2 Type=Off", "--rate", "44100"});
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_GT(out.frames(), 883u);
    const float dry = 60.0f * 0.01f; // "Dry Mix" 60 % in single precision
    EXPECT_EQ(out.channels[0][0], static_cast<double>(dry));
    for (size_t i = 1; i <= 881; ++i)
        ASSERT_EQ(out.channels[0][i], 0.0) << i;
    EXPECT_NEAR(out.channels[0][882], -0.0433082, 1e-7);
    for (size_t i = 0; i < out.frames(); ++i)
        ASSERT_EQ(out.channels[1][i], 0.0) << i;
}

TEST_F(RenderHalvane, SettingsApplyAfterThePreset) {
    const Wav plain = render(impulse(1000, 44100), {"--set", "EQ2 Type=Off"}, "plain.wav");
    // The default preset sets "EQ2 Type" back to "Peak"; the setting must still win.
    const Wav afterDefault = render(
        impulse(1000, 44100), {"--preset", "---- default ----", "--set", "EQ2 Type=Off"}, "default.wav");
    EXPECT_EQ(afterDefault.channels, plain.channels);
    EXPECT_NE(last.out.find("---- default ----"), std::string::npos) << last.out;

    // And a preset does reach the effect.
    const Wav chamber = render(impulse(1000, 44100), {"--preset", "Small - Chamber"}, "chamber.wav");
    EXPECT_NE(chamber.channels, plain.channels);
    EXPECT_NE(last.out.find("Small - Chamber"), std::string::npos) << last.out;
    const Wav byNumber = render(impulse(1000, 44100), {"--preset", "60"}, "sixty.wav");
    EXPECT_EQ(byNumber.channels, chamber.channels) << "preset 60 is \"Small - Chamber\"";
}

TEST_F(RenderHalvane, BlockSizeDoesNotChangeTheSound) {
    const Wav input = noiseBurst(2205, 22050);
    const std::vector<std::string> settings = {"--preset", "Small - Chamber", "--set",  "Stereo=Cone",
                                               "--set",    "Time=0.5",        "--tail", "0.6"};
    auto withBlock = [&](const char* block) {
        std::vector<std::string> args = settings;
        args.insert(args.end(), {"--block", block});
        return render(input, args, std::string("block-") + block + ".wav");
    };
    const Wav reference = withBlock("512");
    ASSERT_EQ(reference.frames(), 2205u + 13230u);
    EXPECT_GT(*std::max_element(reference.channels[1].begin() + 2205, reference.channels[1].end()), 0.001)
        << "the tail rings";
    for (const char* block : {"1", "64", "1000", "65536"})
        EXPECT_EQ(withBlock(block).channels, reference.channels) << "block " << block;
}

TEST_F(RenderHalvane, TailFollowsThePluginOrTheOption) {
    const Wav input = impulse(500, 8000);
    const Wav automatic = render(input, {});
    // "Time" is 3 s by default; the reported tail holds at least the decay.
    EXPECT_GE(automatic.frames(), 500u + 3u * 8000u);
    EXPECT_NE(last.out.find("(no preset)"), std::string::npos);

    const Wav longer = render(input, {"--set", "Time=10"});
    EXPECT_GE(longer.frames(), 500u + 10u * 8000u);
    EXPECT_GT(longer.frames(), automatic.frames());

    EXPECT_EQ(render(input, {"--tail", "0.25"}).frames(), 500u + 2000u);
    EXPECT_EQ(render(input, {"--tail", "0"}).frames(), 500u);
}

TEST_F(RenderHalvane, ListsPresetsAndParameters) {
    Outcome r = run({"--list-presets"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("  0  ---- default ----\n", 0), 0u) << r.out.substr(0, 200);
    EXPECT_NE(r.out.find("\n123  FX - Ocean 2\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n 60  Small - Chamber\n"), std::string::npos);

    r = run({"--list-params"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* expected :
         {"Pre Delay", "0 to 1000", "Time", "0.1 to 80", "3.0", "Mono Position", "-100 to 100",
          "Mono, Wide, Inflate, Squeeze, Cone", "Wide Left", "Bypass Ceil", "-100 to -50", "-60"})
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    EXPECT_EQ(r.out.find("Presets"), std::string::npos) << "presets are picked with --preset";

    r = run({"--preset", "FX - Ocean 3", path("in.wav"), path("out.wav")});
    EXPECT_EQ(r.code, 1);
    r = run({"--set", "Stereo=Cne", path("in.wav"), path("out.wav")});
    EXPECT_EQ(r.code, 1);
}
