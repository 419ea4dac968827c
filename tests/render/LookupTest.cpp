// From what the user types to what the plug-in understands: names, preset numbers, plain values
// and display texts. A fake parameter stands in for the plug-in's controller, with a shaped
// mapping so that plain and normalised values differ the way they do in real plug-ins.

#include "Lookup.h"
#include "LevelMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace halvane::render;

namespace {

// A parameter like a plug-in's: plain = min + (max - min) * n^shape, shown with the step's
// decimals, or one text per step for an enumerated one.
class FakeParameter : public ParameterView {
  public:
    FakeParameter(double min, double max, int steps, double shape, std::string unit,
                  std::vector<std::string> texts = {}, bool list = false)
        : min_(min), max_(max), steps_(steps), shape_(shape), unit_(std::move(unit)),
          texts_(std::move(texts)), list_(list) {}

    int stepCount() const override { return steps_; }
    bool isList() const override { return list_; }
    std::string unit() const override { return unit_; }
    std::string display(double normalized) const override {
        if (!texts_.empty())
            return texts_[static_cast<size_t>(std::lround(normalized * steps_))];
        char text[32];
        std::snprintf(text, sizeof(text), steps_ ? "%.0f" : "%.1f", toPlain(normalized));
        return text;
    }
    double toPlain(double normalized) const override {
        return min_ + (max_ - min_) * std::pow(normalized, shape_);
    }
    double toNormalized(double plain) const override {
        return std::pow((plain - min_) / (max_ - min_), 1.0 / shape_);
    }

  private:
    double min_, max_;
    int steps_;
    double shape_;
    std::string unit_;
    std::vector<std::string> texts_;
    bool list_;
};

const FakeParameter kTime(0.1, 80.0, 0, 2.0, "s");
const FakeParameter kFreq(20.0, 18000.0, 17980, 2.0, "Hz");
const FakeParameter kGain(-16.0, 16.0, 0, 1.0, "dB");
const FakeParameter kStereo(0, 7, 7, 1.0, "",
                            {"Mono", "Wide", "Inflate", "Squeeze", "Cone", "Reverse Cone", "Steps",
                             "Reverse Steps"});
// A list whose texts are numbers of their own: the texts name the steps.
const FakeParameter kDivision(0, 3, 3, 1.0, "", {"1", "2", "4", "8"}, true);

double normalized(const ParameterView& p, const std::string& text) {
    double n = -1.0;
    std::string error;
    EXPECT_TRUE(normalizedFromText(p, text, n, error)) << text << ": " << error;
    return n;
}

std::string refusal(const ParameterView& p, const std::string& text) {
    double n = -1.0;
    std::string error;
    EXPECT_FALSE(normalizedFromText(p, text, n, error)) << text;
    EXPECT_EQ(n, -1.0) << "a refused value must not be handed on";
    return error;
}

} // namespace

TEST(Lookup, NamesMatchExactlyFirstThenIgnoringCase) {
    const std::vector<std::string> names = {"Time", "time", "EQ Type", "EQ2 Type", "Dry Mix", ""};
    EXPECT_EQ(findName(names, "time"), 1);
    EXPECT_EQ(findName(names, "Time"), 0);
    EXPECT_EQ(findName(names, "TIME"), -1) << "two case-blind matches are ambiguous";
    EXPECT_EQ(findName(names, "eq2 type"), 3);
    EXPECT_EQ(findName(names, "dry mix"), 4);
    EXPECT_EQ(findName(names, "EQ"), -1);
    EXPECT_EQ(findName(names, "Dry Mix "), -1);
}

TEST(Lookup, PresetsByNameOrNumber) {
    const std::vector<std::string> names = {"---- default ----", "Very Large - Stadium", "FX - Ocean", "",
                                            "7"};
    int index = -1;
    std::string error;
    ASSERT_TRUE(resolvePreset(names, "FX - Ocean", index, error)) << error;
    EXPECT_EQ(index, 2);
    ASSERT_TRUE(resolvePreset(names, " fx - ocean ", index, error)) << error;
    EXPECT_EQ(index, 2);
    ASSERT_TRUE(resolvePreset(names, "1", index, error)) << error;
    EXPECT_EQ(index, 1);
    ASSERT_TRUE(resolvePreset(names, "0", index, error)) << error;
    EXPECT_EQ(index, 0);
    // A name wins over the number it looks like.
    ASSERT_TRUE(resolvePreset(names, "7", index, error)) << error;
    EXPECT_EQ(index, 4);

    index = -1;
    for (const char* bad : {"3", "5", "-1", "1.0", "FX - Ocean 2", "Stadium"}) {
        EXPECT_FALSE(resolvePreset(names, bad, index, error)) << bad;
        EXPECT_NE(error.find("unknown preset"), std::string::npos);
    }
    EXPECT_EQ(index, -1);
    EXPECT_FALSE(resolvePreset({}, "0", index, error));
    EXPECT_NE(error.find("no presets"), std::string::npos);
}

TEST(Lookup, PlainNumbersGoThroughTheParametersOwnMapping) {
    // 5.5 s on a squared mapping is not 5.5/80 of the way.
    EXPECT_NEAR(normalized(kTime, "5.5"), std::sqrt(5.4 / 79.9), 1e-12);
    EXPECT_NEAR(normalized(kTime, "5.5 s"), std::sqrt(5.4 / 79.9), 1e-12);
    EXPECT_NEAR(normalized(kTime, "5.5S"), std::sqrt(5.4 / 79.9), 1e-12);
    EXPECT_EQ(normalized(kTime, "0.1"), 0.0);
    EXPECT_EQ(normalized(kTime, "80"), 1.0);
    EXPECT_NEAR(normalized(kGain, "-3dB"), 13.0 / 32.0, 1e-12);
    // Many steps that print as numbers: the number is taken as a plain value, never matched
    // against the display of some step that rounds to it.
    EXPECT_NEAR(normalized(kFreq, "8000"), std::sqrt(7980.0 / 17980.0), 1e-12);
    EXPECT_NEAR(normalized(kFreq, "8000 Hz"), std::sqrt(7980.0 / 17980.0), 1e-12);
    // An enumerated parameter also takes its value number.
    EXPECT_NEAR(normalized(kStereo, "4"), 4.0 / 7.0, 1e-12);
}

TEST(Lookup, TextsNameTheirSteps) {
    EXPECT_NEAR(normalized(kStereo, "Cone"), 4.0 / 7.0, 1e-15);
    EXPECT_NEAR(normalized(kStereo, "reverse cone"), 5.0 / 7.0, 1e-15);
    EXPECT_EQ(normalized(kStereo, "Mono"), 0.0);
    EXPECT_EQ(normalized(kStereo, "Reverse Steps"), 1.0);
    // On a list the texts come first: "8" is the fourth step, not value 8.
    EXPECT_EQ(normalized(kDivision, "8"), 1.0);
    EXPECT_NEAR(normalized(kDivision, "2"), 1.0 / 3.0, 1e-15);
    // A number that no text shows is still a plain value.
    EXPECT_NEAR(normalized(kDivision, "3"), 1.0, 1e-15);
}

TEST(Lookup, RefusesValuesItCannotPlace) {
    EXPECT_NE(refusal(kTime, "500").find("outside 0.1 to 80 s"), std::string::npos);
    EXPECT_NE(refusal(kTime, "0.05").find("outside"), std::string::npos);
    EXPECT_NE(refusal(kGain, "-17").find("outside -16 to 16 dB"), std::string::npos);
    EXPECT_NE(refusal(kStereo, "8").find("outside"), std::string::npos);
    EXPECT_NE(refusal(kTime, "5.5 ms").find("not a number"), std::string::npos);
    EXPECT_NE(refusal(kTime, "long").find("not a number"), std::string::npos);
    // A misspelt text lists what would have worked.
    EXPECT_NE(refusal(kStereo, "Cne")
                  .find("Mono, Wide, Inflate, Squeeze, Cone, Reverse Cone, Steps, Reverse Steps"),
              std::string::npos);
    // Numbers as step texts are no list worth showing.
    EXPECT_EQ(refusal(kFreq, "high").find("nor one of"), std::string::npos);
}

TEST(Lookup, ValueTextsOnlyForTextualSteps) {
    EXPECT_EQ(valueTexts(kStereo), "Mono, Wide, Inflate, Squeeze, Cone, Reverse Cone, Steps, Reverse Steps");
    EXPECT_EQ(valueTexts(kDivision), "");
    EXPECT_EQ(valueTexts(kTime), "");
    EXPECT_EQ(valueTexts(kFreq), "");
    EXPECT_EQ(formatPlain(-0.0), "0");
    EXPECT_EQ(formatPlain(0.1), "0.1");
    EXPECT_EQ(formatPlain(18000.0), "18000");
}

// Every position of the loudest and the last loud frame in blocks long enough for the four-frame
// turns and their remainders, as floats and as doubles, against the frame-by-frame definition.
TEST(LevelMeter, WholeBlocksAgreeWithTheDefinition) {
    for (int count = 1; count <= 11; ++count)
        for (int at = 0; at < count; ++at) {
            std::vector<float> left(count, 0.0005f), right(count, -0.0002f);
            left[at] = -0.75f;
            right[count - 1 - at] = 0.002f;
            LevelMeter floats, doubles;
            floats.add(left.data(), right.data(), count);
            const std::vector<double> l(left.begin(), left.end()), r(right.begin(), right.end());
            doubles.add(l.data(), r.data(), count);
            double squares = 0.0;
            for (int i = 0; i < count; ++i)
                squares += l[i] * l[i] + r[i] * r[i];
            const double last = std::max(at, count - 1 - at);
            for (const LevelMeter* m : {&floats, &doubles}) {
                EXPECT_EQ(m->peak(), 0.75) << count << " " << at;
                EXPECT_NEAR(m->rms(), std::sqrt(squares / (2.0 * count)), 1e-15);
                EXPECT_EQ(m->ringSeconds(0, 1.0), last + 1.0) << count << " " << at;
            }
        }
}

TEST(LevelMeter, PeakRmsAndHowLongTheTailRings) {
    LevelMeter meter;
    const double left[] = {0.5, -1.0, 0.0, 0.0};
    const double right[] = {0.5, 0.0, 0.0, 0.002};
    meter.add(left, right, 2);
    meter.add(left + 2, right + 2, 2);
    EXPECT_EQ(meter.frames(), 4);
    EXPECT_EQ(meter.peak(), 1.0);
    EXPECT_DOUBLE_EQ(meter.rms(), std::sqrt((0.25 + 1.0 + 0.25 + 0.002 * 0.002) / 8.0));
    // The last frame above -60 dBFS is frame 3 (right channel): with a 2-frame input it rings
    // two frames on.
    EXPECT_DOUBLE_EQ(meter.ringSeconds(2, 1000.0), 0.002);
    EXPECT_EQ(meter.ringSeconds(4, 1000.0), 0.0);
    EXPECT_DOUBLE_EQ(LevelMeter::decibels(0.5), 20.0 * std::log10(0.5));
    EXPECT_TRUE(std::isinf(LevelMeter::decibels(0.0)));

    // Exactly -60 dBFS is not above it; silence never rings.
    LevelMeter quiet;
    const double threshold[] = {0.001, 0.0};
    quiet.add(threshold, threshold, 2);
    EXPECT_EQ(quiet.ringSeconds(0, 1000.0), 0.0);
    EXPECT_EQ(LevelMeter().rms(), 0.0);
}
