#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "HostIdentification.h"
#include "IParamSpec.h"

TEST(ParamSpec, DefinitionsFixTypeRangeAndPrecision) {
    IParamSpec p;
    p.DefineDouble("Gain", 1.0, 0.0, 0.05, 0.1, "dB");
    EXPECT_EQ(p.Type(), kTypeDouble);
    EXPECT_DOUBLE_EQ(p.Max(), 0.1) << "maximum raised to min + step";
    EXPECT_EQ(p.DisplayPrecision(), 1);
    EXPECT_DOUBLE_EQ(p.Value(), 1.0) << "the default is not clamped";

    p.DefineInt("Again", 3, 0, 10);
    EXPECT_EQ(p.Type(), kTypeDouble) << "a set type stays";

    IParamSpec fine;
    fine.DefineDouble("Fine", 0.0, 0.0, 1.0, 0.001953125);
    EXPECT_EQ(fine.DisplayPrecision(), 6);
    IParamSpec hundredths;
    hundredths.DefineDouble("H", 0.0, 0.0, 1.0, 0.01);
    EXPECT_EQ(hundredths.DisplayPrecision(), 2);

    IParamSpec e;
    e.DefineEnum("Mode", 2, 5);
    EXPECT_EQ(e.Type(), kTypeEnum);
    EXPECT_DOUBLE_EQ(e.Max(), 4.0);
    e.SetShapeExponent(0.0);
    EXPECT_DOUBLE_EQ(e.Shape(), 1.0);
    e.SetShapeExponent(2.0);
    EXPECT_DOUBLE_EQ(e.Shape(), 2.0);

    IParamSpec longName;
    longName.DefineInt("A name that is far longer than thirty-one characters", 0, 0, 1);
    EXPECT_EQ(std::string(longName.Name()).size(), 31u);
}

TEST(ParamSpec, NormalisedConversionsFollowTheShape) {
    IParamSpec time;
    time.DefineDouble("Time", 3.0, 0.1, 80.0, 0.1, "s");
    time.SetShapeExponent(2.0);
    time.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(time.Value(), 0.25 * 79.9 + 0.1) << "double type: no step rounding";
    EXPECT_DOUBLE_EQ(time.NormalizedFromPlain(1000.0), 1.0);
    EXPECT_DOUBLE_EQ(time.NormalizedFromPlain(-5.0), 0.0);
    EXPECT_DOUBLE_EQ(time.NormalizedFromPlain(std::nan("")), 0.0);

    IParamSpec count;
    count.DefineInt("Count", 0, 0, 1000);
    count.SetFromNormalized(1.0);
    EXPECT_DOUBLE_EQ(count.Value(), 1000.0);
    count.SetFromNormalized(0.50049);
    EXPECT_DOUBLE_EQ(count.Value(), 500.0);

    // Steps are multiples from 0, not from the minimum; there is no lower clamp after snapping.
    IParamSpec odd;
    odd.DefineDouble("Odd", 1.0, 1.0, 11.0, 2.0);
    IParamSpec oddInt;
    oddInt.DefineInt("OddInt", 1, 1, 11);
    oddInt.DefineDouble("OddInt", 1.0, 1.0, 11.0, 2.0); // type stays int, step becomes 2
    oddInt.SetFromNormalized(0.0);
    EXPECT_DOUBLE_EQ(oddInt.Value(), 2.0) << "floor(1 / 2 + 0.5) * 2";

    // Out-of-range input from a host lands on the nearer end.
    count.SetFromNormalized(7.0);
    EXPECT_DOUBLE_EQ(count.Value(), 1000.0);
    count.SetFromNormalized(-3.0);
    EXPECT_DOUBLE_EQ(count.Value(), 0.0);
    count.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(count.Value(), 0.0);
}

TEST(ParamSpec, DisplayTextsAndFormatting) {
    IParamSpec e;
    e.DefineEnum("Mode", 0, 3);
    e.AddDisplayText(0, "Off");
    e.AddDisplayText(1, "");
    e.AddDisplayText(1, "Shadowed");
    e.AddDisplayText(2, "Twenty");
    EXPECT_EQ(e.FormatForDisplay(-0.4, false), "Off");
    EXPECT_EQ(e.FormatForDisplay(1.0, false), "1") << "an empty first text means numbers are shown";
    EXPECT_EQ(e.FormatForDisplay(1.0, true), "Twenty") << "normalised 1 is the maximum";
    EXPECT_STREQ(e.DisplayTextFor(7), "");
    double v = -1;
    EXPECT_TRUE(e.ValueForDisplayText("Twenty", &v));
    EXPECT_DOUBLE_EQ(v, 2.0);
    EXPECT_FALSE(e.ValueForDisplayText("twenty", &v));

    IParamSpec i;
    i.DefineInt("Int", 0, -100, 100, "%");
    EXPECT_EQ(i.FormatForDisplay(19.6, false), "20");
    EXPECT_EQ(i.FormatForDisplay(-19.6, false), "-20");

    IParamSpec d;
    d.DefineDouble("D", 0.0, -16.0, 16.0, 0.1, "dB");
    EXPECT_EQ(d.FormatForDisplay(2.5, false), "2.5");
    EXPECT_EQ(d.FormatForDisplay(0.0, false), "0");
    EXPECT_EQ(d.FormatForDisplay(-0.04, false), "-0.0");
    EXPECT_NO_THROW(d.FormatForDisplay(std::nan(""), false));
    EXPECT_NO_THROW(d.FormatForDisplay(1e300, false));
}

TEST(ParamSpec, RoundingIsHalfAwayFromZeroAndAlwaysDefined) {
    EXPECT_EQ(RoundHalfAwayFromZero(2.5), 3);
    EXPECT_EQ(RoundHalfAwayFromZero(-2.5), -3);
    EXPECT_EQ(RoundHalfAwayFromZero(-0.4), 0);
    EXPECT_EQ(RoundHalfAwayFromZero(std::nan("")), 0);
    EXPECT_EQ(RoundHalfAwayFromZero(1e30), INT_MAX);
    EXPECT_EQ(RoundHalfAwayFromZero(-1e30), INT_MIN);
}

TEST(HostIdentification, FirstMatchingKeyDecides) {
    EXPECT_EQ(HostCodeFromName("CUBASE Pro 13"), 3);
    EXPECT_EQ(HostCodeFromName("nuendo and cubase"), 3);
    EXPECT_EQ(HostCodeFromName("Ableton Live"), 9);
    EXPECT_EQ(HostCodeFromName("Deliverance"), 9) << "matches inside a longer word";
    EXPECT_EQ(HostCodeFromName("Goldwave"), 30);
    EXPECT_EQ(HostCodeFromName("WaveLab"), 28);
    EXPECT_EQ(HostCodeFromName("Some Other Host"), 0);
    EXPECT_EQ(HostCodeFromName(""), 0);
    EXPECT_EQ(HostCodeFromName(nullptr), 0);
    std::string longName(300, 'x');
    longName += "reaper";
    EXPECT_EQ(HostCodeFromName(longName.c_str()), 0) << "only the first 255 characters take part";
}
