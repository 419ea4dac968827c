#include "FactoryPresets.h"
#include "ParameterTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Slots are numbered as the host sees them: 1 to 123 for the named presets.
FactoryPreset Slot(int slot) {
    return FactoryPresetAt(slot - 1);
}

std::vector<FactoryPreset> AllPresets() {
    std::vector<FactoryPreset> all;
    for (int i = 0; i < kFactoryPresetCount; ++i)
        all.push_back(FactoryPresetAt(i));
    return all;
}

FactoryPreset ByName(const std::string& name) {
    for (const FactoryPreset& p : AllPresets())
        if (name == p.name)
            return p;
    ADD_FAILURE() << "no preset named " << name;
    return FactoryPresetAt(-1);
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void ExpectValues(const FactoryPreset& p, const std::array<double, kNumParams>& expected) {
    for (int k = 0; k < kNumParams; ++k)
        EXPECT_DOUBLE_EQ(p.values[k], expected[k]) << p.name << ", index " << k;
}

} // namespace

TEST(FactoryPresets, CompleteRowsOfFirstAndLastPreset) {
    FactoryPreset first = Slot(1);
    EXPECT_STREQ(first.name, "Very Large - Diffuse");
    ExpectValues(first, {20, 20.0, 8000, 0,   0, 1, 0,    2,  0,   90, 80, 50, 100,
                         0,  2000, 50,   6.0, 0, 1, 6000, 75, 6.0, 60, 50, -60});
    FactoryPreset last = Slot(123);
    EXPECT_STREQ(last.name, "FX - Ocean 2");
    ExpectValues(last, {0, 30.0, 8000, 11,  13, 6, 0,    4,  100, 90, 100, 50, 100,
                        0, 2000, 50,   6.0, 0,  1, 6000, 75, 6.0, 0,  70,  -60});
}

TEST(FactoryPresets, EveryValueInsideItsRangeAndOnItsStep) {
    for (const FactoryPreset& p : AllPresets()) {
        for (int k = 0; k < kNumParams; ++k) {
            const double v = p.values[k];
            const ParamDefinition& row = ParamTable()[static_cast<size_t>(k)];
            EXPECT_GE(v, row.minimum) << p.name << ", index " << k;
            EXPECT_LE(v, row.maximum) << p.name << ", index " << k;
            // Real parameters step by 0.1, the others by 1.
            const double steps = row.kind == ParamKind::Real ? v * 10.0 : v;
            EXPECT_NEAR(steps, std::round(steps), 1e-9) << p.name << ", index " << k;
        }
    }
}

TEST(FactoryPresets, OutOfRangeIndexGivesEmptyNameAndValidValues) {
    for (int i : {-1, kFactoryPresetCount, INT_MIN, INT_MAX}) {
        FactoryPreset p = FactoryPresetAt(i);
        ASSERT_NE(p.name, nullptr);
        EXPECT_STREQ(p.name, "");
        for (int k = 0; k < kNumParams; ++k) {
            EXPECT_GE(p.values[k], ParamTable()[static_cast<size_t>(k)].minimum) << i << ", index " << k;
            EXPECT_LE(p.values[k], ParamTable()[static_cast<size_t>(k)].maximum) << i << ", index " << k;
        }
    }
}

TEST(FactoryPresets, NamesAreUniqueAndCarryTheirGroupPrefix) {
    struct Group {
        const char* prefix;
        int firstSlot, lastSlot;
    };
    // "Very Small Low - " is listed first so that "Very Small - " is not tried on its names.
    const Group groups[] = {{"Very Large - ", 1, 20},  {"Large - ", 21, 39},
                            {"Medium - ", 40, 55},     {"Small - ", 56, 66},
                            {"Very Small - ", 67, 74}, {"Very Small Low - ", 75, 77},
                            {"Ambience - ", 78, 84},   {"FX - ", 85, 123}};
    std::set<std::string> seen;
    for (int slot = 1; slot <= kFactoryPresetCount; ++slot) {
        const std::string name = Slot(slot).name;
        EXPECT_TRUE(seen.insert(name).second) << "duplicate name " << name;
        int matches = 0;
        for (const Group& g : groups) {
            if (name.rfind(g.prefix, 0) != 0)
                continue;
            ++matches;
            EXPECT_GE(slot, g.firstSlot) << name;
            EXPECT_LE(slot, g.lastSlot) << name;
            EXPECT_GT(name.size(), std::strlen(g.prefix)) << name;
        }
        EXPECT_EQ(matches, 1) << "slot " << slot << " " << name;
    }
    // Names are taken exactly as they stand, odd spellings included.
    EXPECT_STREQ(Slot(10).name, "Very Large - Canion");
    EXPECT_STREQ(Slot(74).name, "Very Small - Metallic Short");
    EXPECT_STREQ(Slot(114).name, "FX - ZigZag");
    EXPECT_STREQ(Slot(116).name, "FX - Bugs & Fly");
    EXPECT_STREQ(Slot(119).name, "FX - StarShip");
}

TEST(FactoryPresets, GroupValuesReachTheirPresets) {
    // First preset of each group: Pre Delay, Time, Freq, EQ2 Type, Dry Mix, Wet Mix.
    struct Expect {
        int slot;
        double preDelay, time, freq, eq2Type, dry, wet;
    };
    const Expect cases[] = {{1, 20, 20.0, 8000, 1, 60, 50}, {21, 20, 10.0, 8000, 1, 60, 50},
                            {40, 20, 5.0, 8000, 1, 60, 50}, {56, 20, 2.0, 8000, 1, 60, 50},
                            {67, 20, 0.3, 6000, 0, 80, 40}, {75, 20, 0.2, 1000, 0, 80, 30},
                            {78, 0, 0.1, 8000, 0, 60, 8},   {85, 0, 30.0, 8000, 1, 0, 70}};
    for (const Expect& e : cases) {
        FactoryPreset p = Slot(e.slot);
        EXPECT_DOUBLE_EQ(p.values[kPreDelay], e.preDelay) << p.name;
        EXPECT_DOUBLE_EQ(p.values[kTime], e.time) << p.name;
        EXPECT_DOUBLE_EQ(p.values[kFreq], e.freq) << p.name;
        EXPECT_DOUBLE_EQ(p.values[kEq2Type], e.eq2Type) << p.name;
        EXPECT_DOUBLE_EQ(p.values[kDryMix], e.dry) << p.name;
        EXPECT_DOUBLE_EQ(p.values[kWetMix], e.wet) << p.name;
    }
}

TEST(FactoryPresets, StadiumDelayDiffersFromStadiumOnlyInPreDelay) {
    FactoryPreset plain = ByName("Very Large - Stadium");
    FactoryPreset delayed = ByName("Very Large - Stadium Delay");
    EXPECT_DOUBLE_EQ(plain.values[kPreDelay], 20);
    EXPECT_DOUBLE_EQ(delayed.values[kPreDelay], 100);
    for (int k = 0; k < kNumParams; ++k) {
        if (k == kPreDelay)
            continue;
        EXPECT_DOUBLE_EQ(plain.values[k], delayed.values[k]) << "index " << k;
    }
}

TEST(FactoryPresets, FilterSwitches) {
    for (int slot = 67; slot <= 77; ++slot)
        EXPECT_DOUBLE_EQ(Slot(slot).values[kEq2Type], 0) << Slot(slot).name;

    std::vector<int> eqOn;
    for (int slot = 1; slot <= kFactoryPresetCount; ++slot)
        if (Slot(slot).values[kEqType] != 0)
            eqOn.push_back(slot);
    EXPECT_EQ(eqOn, (std::vector<int>{20, 81}));

    FactoryPreset explosion = Slot(20);
    EXPECT_STREQ(explosion.name, "Very Large - Explosion 2");
    EXPECT_DOUBLE_EQ(explosion.values[kEqType], 1);
    EXPECT_DOUBLE_EQ(explosion.values[kEqFreq], 4000);
    EXPECT_DOUBLE_EQ(explosion.values[kEqGain], 4.0);
    FactoryPreset low = Slot(81);
    EXPECT_STREQ(low.name, "Ambience - Low");
    EXPECT_DOUBLE_EQ(low.values[kEqType], 1);
    EXPECT_DOUBLE_EQ(low.values[kEqFreq], 2000);
    EXPECT_DOUBLE_EQ(low.values[kEqGain], 6.0);
}

TEST(FactoryPresets, StereoPlacement) {
    std::vector<std::string> mono;
    for (const FactoryPreset& p : AllPresets())
        if (p.values[kStereo] == 0)
            mono.push_back(p.name);
    EXPECT_EQ(mono, std::vector<std::string>{"Ambience - Deep"});

    int variants = 0;
    for (int slot = 2; slot <= kFactoryPresetCount; ++slot) {
        const FactoryPreset p = Slot(slot);
        const std::string name = p.name;
        const bool left = EndsWith(name, " to Left");
        if (!left && !EndsWith(name, " to Right"))
            continue;
        ++variants;
        EXPECT_DOUBLE_EQ(p.values[kStereoPosition], left ? 0 : 6) << name;
        EXPECT_DOUBLE_EQ(p.values[kStereo], 6) << name;
        // A variant is the preset before it, placed at one side. The names need not pair up: slot 118
        // "FX - Bugs & Fly to Left" follows "FX - Bugs & Fly 2".
        const FactoryPreset base = Slot(slot - 1);
        for (int k = 0; k < kNumParams; ++k) {
            if (k == kStereo || k == kStereoPosition)
                continue;
            EXPECT_DOUBLE_EQ(p.values[k], base.values[k]) << name << ", index " << k;
        }
    }
    EXPECT_EQ(variants, 8);
    EXPECT_DOUBLE_EQ(ByName("FX - Forest").values[kStereo], 2);
    EXPECT_DOUBLE_EQ(ByName("FX - Rippled").values[kStereo], 3);
}

TEST(FactoryPresets, RowsWithOverrides) {
    FactoryPreset p = Slot(20);
    ExpectValues(p, {50, 20.0, 8000, 53,  14, 6, 0,    4,  100, 100, 20, 50, 100,
                     1,  4000, 50,   4.0, 0,  1, 6000, 75, 6.0, 60,  50, -60});

    p = Slot(79);
    EXPECT_STREQ(p.name, "Ambience - Soft 2");
    ExpectValues(p, {0, 0.1,  8000, 25,  0, 1, 0,    2,  100, 100, 50, 50, 20,
                     0, 2000, 80,   6.0, 0, 0, 6000, 75, 6.0, 60,  12, -60});

    p = Slot(80);
    EXPECT_STREQ(p.name, "Ambience - Deep");
    ExpectValues(p, {0, 0.1,  8000, 25,  4, 0, 0,    2,  100,  100, 30, 50, 100,
                     0, 2000, 50,   6.0, 0, 0, 6000, 75, -5.0, 60,  10, -60});

    p = Slot(82);
    EXPECT_STREQ(p.name, "Ambience - Metallic");
    ExpectValues(p, {0, 2.0,  8000, 34,  0, 1, 0,    2,  100, 100, 20, 50, 100,
                     0, 2000, 50,   6.0, 0, 1, 6000, 75, 6.0, 60,  1,  -60});

    p = Slot(83);
    EXPECT_STREQ(p.name, "Ambience - Bugs");
    ExpectValues(p, {20, 0.2,  8000, 45,  13, 5, 0,    4,  100, 100, 20, 50, 70,
                     0,  2000, 50,   6.0, 0,  1, 6000, 75, 6.0, 60,  10, -60});

    p = Slot(117);
    EXPECT_STREQ(p.name, "FX - Bugs & Fly 2");
    ExpectValues(p, {0, 36.0, 8000, 37,  10, 6, 0,    2,  100, 70, 100, 50, 100,
                     0, 2000, 50,   6.0, 0,  1, 6000, 75, 6.0, 0,  70,  -60});

    // Single overrides on top of group values.
    EXPECT_DOUBLE_EQ(ByName("Very Large - Special").values[kSpaceAccent], 40);
    EXPECT_DOUBLE_EQ(ByName("FX - Special Soft").values[kSpaceAccent], 40);
    EXPECT_DOUBLE_EQ(ByName("Large - Explosion 2").values[kTime], 8.0);
    EXPECT_DOUBLE_EQ(ByName("Large - Explosion 2").values[kPreDelay], 50);
    EXPECT_DOUBLE_EQ(ByName("Medium - Energy").values[kTime], 3.0);
    EXPECT_DOUBLE_EQ(ByName("Small - Fireworks").values[kTime], 1.0);
    EXPECT_DOUBLE_EQ(ByName("Very Small - Metallic Short").values[kFreq], 5000);
    EXPECT_DOUBLE_EQ(ByName("Ambience - Chamber").values[kEq2Type], 1);
    for (const char* diffuse :
         {"Very Large - Diffuse", "Large - Diffuse", "Medium - Diffuse", "Small - Diffuse"})
        EXPECT_DOUBLE_EQ(ByName(diffuse).values[kSpaceAccent], 0) << diffuse;
}
