// The factory preset files, checked against the built module as a host loads it: every one must
// load back through setState into the parameters of its preset's row. halvane-render's
// --preset-file rejects files that are not presets of this effect.

#include "FactoryPresets.h"
#include "ParameterTable.h"
#include "PluginInstance.h"
#include "PresetFileLoader.h"
#include "PresetFiles.h"

#include "../render/CliRunner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace Steinberg;
namespace fs = std::filesystem;

namespace {

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::shared_ptr<halvane::host::Module> openModule() {
    std::string error;
    auto module = halvane::host::Module::open(HALVANE_BUNDLE, error);
    EXPECT_TRUE(module) << error;
    return module;
}

const fs::path kPresetDir = fs::path(HALVANE_PRESET_ROOT) / "Vorkesh" / "Halvane";

} // namespace

TEST(PresetFiles, EveryFactoryPresetLoadsBackThroughSetState) {
    auto module = openModule();
    ASSERT_TRUE(module);
    halvane::host::ClassInfo effect;
    ASSERT_TRUE(module->findClass(kVstAudioEffectClass, effect));
    std::string error;
    auto plug = halvane::host::PluginInstance::create(module, effect.cid, "Preset Test", error);
    ASSERT_TRUE(plug) << error;

    size_t files = 0;
    for (const auto& item : fs::directory_iterator(kPresetDir))
        files += item.path().extension() == ".vstpreset";
    EXPECT_EQ(files, static_cast<size_t>(kFactoryPresetCount + 1));

    // The default first, then the table's rows; the instance starts from a row that differs
    // from both, so a file that loads nothing cannot pass.
    for (int slot = 0; slot <= kFactoryPresetCount; ++slot) {
        const FactoryPreset row = FactoryPresetAt(slot == 0 ? 0 : slot - 1);
        const std::array<double, kNumParams> expected = slot == 0 ? ParamDefaults() : row.values;
        const std::string name = slot == 0 ? "---- default ----" : row.name;
        SCOPED_TRACE(name);

        halvane::render::PresetFileContents contents;
        ASSERT_TRUE(halvane::render::PresetFileLoader::load(
            (kPresetDir / halvane::bundle::presetFileName(name)).string(), contents, error))
            << error;
        EXPECT_EQ(contents.classId, halvane::host::classIdString(effect.cid));
        EXPECT_EQ(contents.componentState.size(), kNumParams * sizeof(double));

        const FactoryPreset other = FactoryPresetAt((slot + 60) % kFactoryPresetCount);
        std::vector<char> otherState(sizeof(double) * kNumParams);
        std::memcpy(otherState.data(), other.values.data(), otherState.size());
        ASSERT_EQ(plug->loadState(otherState), kResultOk);
        ASSERT_EQ(plug->loadState(contents.componentState), kResultOk);
        for (int i = 0; i < kNumParams; ++i) {
            Vst::IEditController& controller = *plug->controller();
            const double plain = controller.normalizedParamToPlain(i, controller.getParamNormalized(i));
            EXPECT_NEAR(plain, expected[static_cast<size_t>(i)], 1e-9 * std::max(1.0, std::fabs(plain)))
                << ParamTable()[static_cast<size_t>(i)].name;
        }
    }
}

TEST(PresetFiles, DamagedFilesAreRejectedWithAReason) {
    const std::string good = fileText(kPresetDir / "Small - Chamber.vstpreset");
    ASSERT_FALSE(good.empty());
    halvane::render::PresetFileContents contents;
    std::string error;
    ASSERT_TRUE(halvane::render::PresetFileLoader::parse({good.begin(), good.end()}, contents, error))
        << error;

    for (size_t length = 0; length < good.size(); ++length) {
        error.clear();
        EXPECT_FALSE(
            halvane::render::PresetFileLoader::parse({good.begin(), good.begin() + length}, contents, error))
            << length;
        EXPECT_FALSE(error.empty());
    }
    std::string notHex = good;
    notHex[10] = 'x';
    EXPECT_FALSE(halvane::render::PresetFileLoader::parse({notHex.begin(), notHex.end()}, contents, error));
    // A list entry that points past the end.
    std::string pastEnd = good;
    pastEnd[pastEnd.size() - 2] = 0x01; // the high bytes of the last entry's size
    EXPECT_FALSE(halvane::render::PresetFileLoader::parse({pastEnd.begin(), pastEnd.end()}, contents, error));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;
}

class PresetFileCli : public halvane::render::test::CliTest {};

TEST_F(PresetFileCli, LoadsThisEffectsPresetsOnly) {
    using halvane::render::test::Wav;
    Wav input;
    input.rate = 44100;
    input.channels.assign(2, std::vector<double>(100, 0.0));
    input.channels[0][0] = 1.0;
    ASSERT_TRUE(halvane::render::test::writeWav(path("in.wav"), input));
    const std::string chamber = (kPresetDir / "Small - Chamber.vstpreset").string();

    auto a = run({"--preset-file", chamber, "--tail", "1", path("in.wav"), path("a.wav")});
    auto b = run({"--preset", "Small - Chamber", "--tail", "1", path("in.wav"), path("b.wav")});
    ASSERT_EQ(a.code, 0) << a.err;
    ASSERT_EQ(b.code, 0) << b.err;
    EXPECT_EQ(a.out.rfind("Small - Chamber ", 0), 0u) << a.out;
    EXPECT_EQ(fileText(path("a.wav")), fileText(path("b.wav")));

    std::string other = fileText(chamber);
    other[8] = other[8] == 'F' ? 'E' : 'F';
    std::ofstream(path("other.vstpreset"), std::ios::binary) << other;
    auto rejected = run({"--preset-file", path("other.vstpreset"), path("in.wav"), path("c.wav")});
    EXPECT_EQ(rejected.code, 1);
    EXPECT_NE(rejected.err.find("saved for another plug-in"), std::string::npos) << rejected.err;
    auto notPreset = run({"--preset-file", path("in.wav"), path("in.wav"), path("c.wav")});
    EXPECT_EQ(notPreset.code, 1);
    EXPECT_NE(notPreset.err.find("not a VST 3 preset file"), std::string::npos) << notPreset.err;
    EXPECT_FALSE(exists("c.wav"));
}
