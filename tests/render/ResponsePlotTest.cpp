// The response measurements behind --plot, on a decay whose figures are known, and the picture
// itself drawn by halvane-render through the Halvane module of this build.

#include "CliRunner.h"
#include "ResponseAnalysis.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>

using namespace halvane::render;

namespace {

// White noise whose level falls 60 dB in t60 seconds, on both channels; the right one twice as
// fast.
ResponseAnalysis decayingNoise(double t60, double seconds, double rate) {
    std::vector<double> left, right;
    uint32_t seed = 7;
    for (int i = 0; i < static_cast<int>(seconds * rate); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        const double t = i / rate;
        left.push_back(noise * std::pow(10.0, -3.0 * t / t60));
        right.push_back(noise * std::pow(10.0, -3.0 * t / (t60 / 2)));
    }
    return ResponseAnalysis::measure(left, right, rate);
}

} // namespace

TEST(ResponseAnalysis, MeasuresAKnownDecay) {
    const ResponseAnalysis a = decayingNoise(1.5, 4.0, 48000.0);
    EXPECT_NEAR(a.sixtyDbSeconds[0], 1.5, 0.05);
    EXPECT_NEAR(a.sixtyDbSeconds[1], 0.75, 0.05);
    EXPECT_NEAR(a.decayDb[0][0], 0.0, 1e-12);
    EXPECT_NEAR(a.decayDb[0][24000], -20.0, 1.0); // 0.5 s into a 1.5 s decay
    for (int b = 0; b < ResponseAnalysis::kBands; ++b) {
        EXPECT_NEAR(a.bandDecaySeconds[0][static_cast<size_t>(b)], 1.5, 0.15) << b;
        EXPECT_NEAR(a.bandDecaySeconds[1][static_cast<size_t>(b)], 0.75, 0.1) << b;
    }
    // A silent channel and bands above the Nyquist frequency have no figures.
    const ResponseAnalysis quiet =
        ResponseAnalysis::measure(std::vector<double>(100, 0.0), a.response[1], 16000.0);
    EXPECT_LT(quiet.sixtyDbSeconds[0], 0.0);
    EXPECT_TRUE(std::isnan(quiet.bandDecaySeconds[0][0]));
    EXPECT_TRUE(std::isnan(quiet.bandDecaySeconds[1][6])); // 8 kHz at 16 kHz
    EXPECT_FALSE(std::isnan(quiet.bandDecaySeconds[1][5]));
}

class ResponsePlotCli : public halvane::render::test::CliTest {};

TEST_F(ResponsePlotCli, DrawsAnImpulseOrWhatFollowsAnInput) {
    auto impulse = run({"--preset", "Small - Chamber", "--plot", path("impulse.png")});
    ASSERT_EQ(impulse.code, 0) << impulse.err;
    EXPECT_NE(impulse.out.find("impulse.png"), std::string::npos) << impulse.out;

    halvane::render::test::Wav input;
    input.rate = 44100;
    input.channels.assign(1, std::vector<double>(4410, 0.25));
    ASSERT_TRUE(halvane::render::test::writeWav(path("in.wav"), input));
    auto after = run({"--tail", "1", "--plot", path("after.png"), path("in.wav"), path("out.wav")});
    ASSERT_EQ(after.code, 0) << after.err;
    EXPECT_TRUE(exists("out.wav"));

    for (const char* name : {"impulse.png", "after.png"}) {
        cairo_surface_t* png = cairo_image_surface_create_from_png(path(name).c_str());
        EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS) << name;
        EXPECT_EQ(cairo_image_surface_get_width(png), 1000);
        EXPECT_EQ(cairo_image_surface_get_height(png), 720);
        cairo_surface_destroy(png);
    }
    // Only the plot is left of a render without files.
    EXPECT_EQ(files(), (std::vector<std::string>{"after.png", "impulse.png", "in.wav", "out.wav"}));

    auto unwritable = run({"--plot", path("missing/dir/p.png")});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_NE(unwritable.err.find("cannot write the plot"), std::string::npos) << unwritable.err;
}
