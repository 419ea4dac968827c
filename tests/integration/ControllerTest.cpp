// The edit controller of the real module as a host reads it: the parameter list with the
// program parameter first, value conversions and texts, the normalised values of bypass,
// program and parameters, the root unit with its program list, and a controller that tells
// the host nothing it did not ask for.

#include "HalvaneHost.h"

#include <cstdio>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;

namespace {

class HalvaneController : public HalvaneFixture {};

struct ParamRow {
    const char* title;
    const char* units;
    double min, max, shape;
    bool real;               // a real parameter has a continuous range (step count 0)
    const char* defaultText; // the default (defaultValues()) as shown; also shows the display precision
};

const ParamRow kParams[kParamCount] = {
    {"Pre Delay", "ms", 0, 1000, 1, false, "20"},
    {"Time", "s", 0.1, 80, 2, true, "3.0"},
    {"Freq", "Hz", 20, 18000, 2, false, "8000"},
    {"Space", "", 0, 59, 1, false, "Stadium"},
    {"Surface", "", 0, 15, 1, false, "Smooth"},
    {"Stereo", "", 0, 7, 1, false, "Wide"},
    {"Mono Position", "%", -100, 100, 1, false, "0"},
    {"Stereo Position", "", 0, 6, 1, false, "Wide Left"},
    {"Space Accent", "%", 0, 100, 1, false, "100"},
    {"Surface Accent", "%", 0, 100, 1, false, "90"},
    {"Diffuse", "%", 0, 100, 1, false, "20"},
    {"Attack", "%", 0, 100, 1, false, "50"},
    {"Size", "%", 0, 100, 1, false, "100"},
    {"EQ Type", "", 0, 3, 1, false, "Off"},
    {"EQ Freq", "Hz", 20, 20000, 2, false, "2000"},
    {"EQ Bandwidth", "%", 1, 100, 1, false, "50"},
    {"EQ Gain", "dB", -16, 16, 1, true, "6.0"},
    {"EQ Mode", "", 0, 4, 1, false, "Parallel"},
    {"EQ2 Type", "", 0, 3, 1, false, "Peak"},
    {"EQ2 Freq", "Hz", 20, 20000, 2, false, "6000"},
    {"EQ2 Bandwidth", "%", 1, 100, 1, false, "75"},
    {"EQ2 Gain", "dB", -16, 16, 1, true, "6.0"},
    {"Dry Mix", "%", 0, 100, 1, false, "60"},
    {"Wet Mix", "%", 0, 100, 1, false, "50"},
    {"Bypass Ceil", "dB", -100, -50, 1, false, "-60"},
};

std::string display(IEditController* controller, ParamID id, ParamValue normalized) {
    String128 s = {};
    EXPECT_EQ(controller->getParamStringByValue(id, normalized, s), kResultOk) << "id " << id;
    return text(s);
}

ParamValue fromText(IEditController* controller, ParamID id, const std::string& s) {
    halvane::String16 wide = halvane::utf8ToUtf16(s);
    ParamValue value = -1.0;
    EXPECT_EQ(controller->getParamValueByString(id, wide.data(), value), kResultOk) << "id " << id;
    return value;
}

} // namespace

TEST_F(HalvaneController, ProgramParameterFirstThenTheTwentyFive) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();
    ASSERT_EQ(controller->getParameterCount(), kParamCount + 1);

    ParameterInfo info{};
    ASSERT_EQ(controller->getParameterInfo(0, info), kResultOk);
    EXPECT_EQ(info.id, kProgramId);
    EXPECT_EQ(text(info.title), "Presets");
    EXPECT_EQ(text(info.units), "");
    EXPECT_EQ(info.flags, 0x8008);
    EXPECT_EQ(info.stepCount, 149);
    EXPECT_EQ(info.unitId, 0);

    for (int32 i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kParams[i];
        SCOPED_TRACE(row.title);
        ASSERT_EQ(controller->getParameterInfo(i + 1, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(text(info.title), row.title);
        EXPECT_EQ(text(info.shortTitle), "");
        EXPECT_EQ(text(info.units), row.units);
        EXPECT_EQ(info.stepCount, row.real ? 0 : static_cast<int32>(row.max - row.min));
        EXPECT_NEAR(info.defaultNormalizedValue,
                    normalizedOf(defaultValues()[static_cast<size_t>(i)], row.min, row.max, row.shape),
                    1e-12);
        EXPECT_EQ(controller->getParamNormalized(info.id), info.defaultNormalizedValue);
        EXPECT_EQ(info.unitId, 0);
        EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
        EXPECT_EQ(display(controller, info.id, info.defaultNormalizedValue), row.defaultText);
    }
    EXPECT_EQ(controller->getParameterInfo(kParamCount + 1, info), kResultFalse);
    EXPECT_EQ(controller->getParameterInfo(-1, info), kResultFalse);

    // The shaped defaults as hosts show them on their sliders.
    EXPECT_NEAR(controller->getParamNormalized(kTime), 0.1905, 1e-4);
    EXPECT_NEAR(controller->getParamNormalized(kFreq), 0.6662, 1e-4);
    EXPECT_NEAR(controller->getParamNormalized(kEqFreq), 0.3148, 1e-4);
    EXPECT_NEAR(controller->getParamNormalized(kEq2Freq), 0.5471, 1e-4);
}

TEST_F(HalvaneController, PlainAndNormalisedAgreeOverEveryRange) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();
    for (int32 i = 0; i < kParamCount; ++i) {
        const ParamRow& row = kParams[i];
        SCOPED_TRACE(row.title);
        const auto id = static_cast<ParamID>(i);
        const double span = row.max - row.min;
        for (int k = 0; k <= 36; ++k) {
            // From a tenth of the range below it to a tenth above.
            const double plain = row.min - 0.1 * span + k * 1.2 * span / 36.0;
            const double normalized = controller->plainParamToNormalized(id, plain);
            EXPECT_NEAR(normalized, normalizedOf(plain, row.min, row.max, row.shape), 1e-12) << plain;

            // The parameter's own conversion, reached through its text reader.
            char number[64];
            std::snprintf(number, sizeof number, "%.17g", plain);
            EXPECT_EQ(fromText(controller, id, number), normalized) << plain;

            const double clamped = std::min(std::max(plain, row.min), row.max);
            EXPECT_NEAR(controller->normalizedParamToPlain(id, normalized), clamped, 1e-9 * span) << plain;
        }
    }
    EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(kProgramId, 75.0), 75.0 / 149.0);
    EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(kProgramId, 75.0 / 149.0), 75.0);
    EXPECT_EQ(controller->plainParamToNormalized(999, 3.5), 3.5);
}

TEST_F(HalvaneController, DisplayTextsForHosts) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();
    EXPECT_EQ(display(controller, kTime, normalizedOf(3.0, 0.1, 80.0, 2.0)), "3.0");
    EXPECT_EQ(display(controller, kTime, 1.0), "80.0");
    EXPECT_EQ(display(controller, kSpace, 0.0), "Stadium");
    EXPECT_EQ(display(controller, kSpace, 34.0 / 59.0), "Metalic Short");
    EXPECT_EQ(display(controller, kSpace, 1.0), "Special Explosion 7");
    EXPECT_EQ(display(controller, kStereoPosition, 1.0), "Right");
    EXPECT_EQ(display(controller, kEqMode, 0.25), "Serie");
    EXPECT_EQ(display(controller, kEqGain, 0.5), "0"); // exactly 0 dB: no decimals
    EXPECT_EQ(display(controller, kEqGain, 12.5 / 32.0), "-3.5");
    EXPECT_EQ(display(controller, kPreDelay, 0.0196), "20"); // 19.6 ms, shown whole
    EXPECT_EQ(display(controller, kBypassCeil, 0.0), "-100");

    String128 s = {};
    for (ParamID id : {kProgramId, kBypassId, static_cast<ParamID>(kParamCount), ParamID{999}})
        EXPECT_EQ(controller->getParamStringByValue(id, 0.5, s), kResultFalse) << id;
}

TEST_F(HalvaneController, ValuesFromTypedTextReadTheLeadingNumber) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();
    EXPECT_NEAR(fromText(controller, kPreDelay, "12.5 ms"), 0.0125, 1e-15);
    EXPECT_NEAR(fromText(controller, kEqGain, "-5.5 dB"), 10.5 / 32.0, 1e-15);
    EXPECT_EQ(fromText(controller, kPreDelay, "99999"), 1.0);
    // Without a number the value is 0, clamped into the range.
    EXPECT_EQ(fromText(controller, kEqGain, "loud"), 0.5);
    EXPECT_EQ(fromText(controller, kTime, ""), 0.0);
    // Display texts are not read back.
    EXPECT_EQ(fromText(controller, kStereo, "Cone"), 0.0);

    ParamValue value = 0.0;
    halvane::String16 wide = halvane::utf8ToUtf16("3");
    EXPECT_NE(controller->getParamValueByString(999, wide.data(), value), kResultOk);
}

TEST_F(HalvaneController, NormalisedValuesOfBypassProgramAndParameters) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();

    EXPECT_EQ(controller->getParamNormalized(kBypassId), 0.0);
    EXPECT_EQ(controller->setParamNormalized(kBypassId, 0.3), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(controller->setParamNormalized(kBypassId, 0.0), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 0.0);

    // Selecting a program here only moves the selection; the preset is not loaded.
    EXPECT_EQ(controller->getParamNormalized(kProgramId), 0.0);
    EXPECT_EQ(controller->setParamNormalized(kProgramId, 1.0), kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kProgramId), 1.0);
    EXPECT_EQ(stateValues(*plug), defaultValues());
    String128 name = {};
    ASSERT_EQ(plug->unitInfo()->getProgramName(kProgramId, 149, name), kResultOk);
    EXPECT_EQ(text(name), "- 150 -");
    EXPECT_EQ(controller->setParamNormalized(kProgramId, 75.0 / 149.0), kResultOk);
    EXPECT_DOUBLE_EQ(controller->getParamNormalized(kProgramId), 75.0 / 149.0);
    EXPECT_EQ(stateValues(*plug), defaultValues());

    // Whole-number parameters snap to their step.
    EXPECT_EQ(controller->setParamNormalized(kPreDelay, 0.01234), kResultOk);
    EXPECT_EQ(stateValues(*plug)[kPreDelay], 12.0);
    EXPECT_NEAR(controller->getParamNormalized(kPreDelay), 0.012, 1e-15);
    EXPECT_EQ(controller->setParamNormalized(kTime, 0.5), kResultOk);
    EXPECT_NEAR(stateValues(*plug)[kTime], 20.075, 1e-12);
    EXPECT_NEAR(controller->getParamNormalized(kTime), 0.5, 1e-12);

    EXPECT_EQ(controller->setParamNormalized(999, 0.5), kResultFalse);
    EXPECT_EQ(controller->getParamNormalized(999), 0.0);
    EXPECT_EQ(controller->getParamNormalized(kParamCount), 0.0);
}

TEST_F(HalvaneController, RootUnitWithTheFactoryPresetList) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IUnitInfo* units = plug->unitInfo();
    ASSERT_NE(units, nullptr);

    EXPECT_EQ(units->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, kRootUnitId);
    EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
    EXPECT_EQ(text(unit.name), "Root Unit");
    EXPECT_EQ(unit.programListId, static_cast<ProgramListID>(kProgramId));
    EXPECT_EQ(units->getUnitInfo(1, unit), kResultFalse);
    EXPECT_EQ(units->getUnitInfo(-1, unit), kResultFalse);
    EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);

    EXPECT_EQ(units->getProgramListCount(), 1);
    ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, static_cast<ProgramListID>(kProgramId));
    EXPECT_EQ(text(list.name), "Factory Presets");
    EXPECT_EQ(list.programCount, kPresetCount);
    EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);

    const auto lists = plug->programLists();
    ASSERT_EQ(lists.size(), 1u);
    const std::vector<std::string>& names = lists[0].names;
    ASSERT_EQ(names.size(), static_cast<size_t>(kPresetCount));
    EXPECT_EQ(names[0], "---- default ----");
    EXPECT_EQ(names[1], "Very Large - Diffuse");
    EXPECT_EQ(names[2], "Very Large - Stadium");
    EXPECT_EQ(names[21], "Large - Diffuse");
    EXPECT_EQ(names[116], "FX - Bugs & Fly");
    EXPECT_EQ(names[123], "FX - Ocean 2");
    for (size_t slot = 124; slot < names.size(); ++slot)
        EXPECT_EQ(names[slot], "- " + std::to_string(slot + 1) + " -");

    String128 name = {};
    for (int32 outside : {kPresetCount, -1}) {
        name[0] = 'x';
        EXPECT_EQ(units->getProgramName(kProgramId, outside, name), kResultOk);
        EXPECT_EQ(text(name), "") << outside;
    }
    EXPECT_EQ(units->getProgramName(0, 0, name), kResultFalse);
}

TEST_F(HalvaneController, TellsTheHostNothingItDidNotAskFor) {
    auto plug = start(kSample32);
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();
    apply(*plug, kSample32, {{kPreDelay, 0.3}, {kTime, 0.7}, {kStereo, 0.0}});
    apply(*plug, kSample32, {{kProgramId, 0.5}});
    apply(*plug, kSample32, {{kBypassId, 1.0}});
    render(*plug, kSample32, noise(1024, 8), 256);
    ASSERT_EQ(plug->loadState(bytesOf(defaultValues())), kResultOk);
    ASSERT_EQ(plug->setupProcessing(48000.0, 256, kSample32), kResultOk);
    controller->setParamNormalized(kDryMix, 0.2);
    controller->setParamNormalized(kProgramId, 1.0);
    render(*plug, kSample32, noise(512, 9), 256);

    EXPECT_TRUE(plug->componentHandler().edits().empty());
    // Only the state load, which changed values, asks the host to read them again.
    EXPECT_EQ(plug->componentHandler().restarts(), std::vector<int32>{kParamValuesChanged});
}
