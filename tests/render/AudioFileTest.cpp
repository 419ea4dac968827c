// WAV files in and out across the chunks the reader and writer stage: every frame arrives once, in
// order, whatever the block sizes and sample widths the caller mixes; and the meter that sees every
// frame written.

#include "AudioFile.h"
#include "CliRunner.h"
#include "LevelMeter.h"

#include <cmath>

using namespace halvane::render;
using namespace halvane::render::test;

namespace {

// Values a float holds exactly, different on every frame.
double sampleAt(size_t i, int channel) {
    return static_cast<double>(
        static_cast<float>((static_cast<double>(i % 5003) - 2500.0) / 4096.0 + channel));
}

class AudioFileTest : public CliTest {};

} // namespace

TEST_F(AudioFileTest, ReadsEveryFrameAcrossChunksInEitherWidth) {
    constexpr size_t kFrames = 40000;
    Wav mono;
    mono.rate = 48000;
    mono.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    mono.channels.assign(1, std::vector<double>(kFrames));
    for (size_t i = 0; i < kFrames; ++i)
        mono.channels[0][i] = sampleAt(i, 0);
    ASSERT_TRUE(writeWav(path("mono.wav"), mono));

    AudioReader reader;
    std::string error;
    ASSERT_TRUE(reader.open(path("mono.wav"), error)) << error;
    std::vector<double> left64(1000), right64(1000);
    std::vector<float> left32(1000), right32(1000);
    size_t position = 0;
    for (int block = 0; position < kFrames; ++block) {
        const int count = 1 + block * 97 % 1000;
        const bool wide = block % 3 == 0; // the width changes in the middle of a chunk
        const long long got = wide ? reader.read(left64.data(), right64.data(), count, error)
                                   : reader.read(left32.data(), right32.data(), count, error);
        ASSERT_EQ(got, static_cast<long long>(std::min<size_t>(count, kFrames - position))) << error;
        for (long long i = 0; i < got; ++i) {
            const double l = wide ? left64[i] : left32[i];
            const double r = wide ? right64[i] : right32[i];
            ASSERT_EQ(l, mono.channels[0][position]) << position;
            ASSERT_EQ(r, l) << position; // mono fills both channels
            ++position;
        }
    }
    EXPECT_EQ(reader.read(left64.data(), right64.data(), 10, error), 0);
}

TEST_F(AudioFileTest, WritesEveryFrameAcrossChunksInEitherWidth) {
    constexpr size_t kFrames = 40000;
    AudioWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path("out.wav"), 44100, SampleFormat::Float64, error)) << error;
    std::vector<double> left64(1000), right64(1000);
    std::vector<float> left32(1000), right32(1000);
    size_t position = 0;
    for (int block = 0; position < kFrames; ++block) {
        const auto count = std::min<size_t>(1 + block * 131 % 1000, kFrames - position);
        for (size_t i = 0; i < count; ++i) {
            left64[i] = left32[i] = static_cast<float>(sampleAt(position + i, 0));
            right64[i] = right32[i] = static_cast<float>(sampleAt(position + i, 1));
        }
        const bool wide = block % 4 == 1;
        ASSERT_TRUE(wide ? writer.write(left64.data(), right64.data(), static_cast<int>(count), error)
                         : writer.write(left32.data(), right32.data(), static_cast<int>(count), error))
            << error;
        position += count;
    }
    ASSERT_TRUE(writer.commit(error)) << error;

    const Wav out = readWav(path("out.wav"));
    ASSERT_EQ(out.frames(), kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        ASSERT_EQ(out.channels[0][i], sampleAt(i, 0)) << i;
        ASSERT_EQ(out.channels[1][i], sampleAt(i, 1)) << i;
    }
}

// A NaN in one channel used to hide the other channel's level from the summary line.
TEST(LevelMeterTest, EachChannelCountsEvenBesideANaN) {
    LevelMeter meter;
    const double left[3] = {0.25, std::nan(""), 0.0};
    const double right[3] = {0.0, 0.5, std::nan("")};
    meter.add(left, right, 3);
    EXPECT_EQ(meter.peak(), 0.5);
    EXPECT_EQ(meter.frames(), 3);
    EXPECT_EQ(meter.ringSeconds(0, 1.0), 2.0); // frame 1 is the last above -60 dBFS
}
