#pragma once

// Shared set-up for the tests that drive the real Halvane bundle through the VST 3
// interfaces: the module opened once per suite, instances created and started the way a host
// does it, stereo blocks delivered with parameter changes, and the component state read back
// as plain values.

#include "Module.h"
#include "ParameterChanges.h"
#include "PluginInstance.h"
#include "ProcessBuffers.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace halvane::integration {

using Steinberg::int32;
using Steinberg::IPtr;
using Steinberg::owned;
using Steinberg::tresult;
using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;

constexpr ParamID kBypassId = 0x62706173;  // 'bpas'
constexpr ParamID kProgramId = 0x70727374; // 'prst'
constexpr int kParamCount = 25;
constexpr int kPresetCount = 150;
constexpr int kStateBytes = kParamCount * 8;

// Parameter ids (= indices) and, below, their defaults: written out here on purpose rather than
// taken from the effect's parameter table, so that a change of order or default in that table
// shows up as a failure instead of moving the tests along with it.
enum : ParamID {
    kPreDelay,
    kTime,
    kFreq,
    kSpace,
    kSurface,
    kStereo,
    kMonoPosition,
    kStereoPosition,
    kSpaceAccent,
    kSurfaceAccent,
    kDiffuse,
    kAttack,
    kSize,
    kEqType,
    kEqFreq,
    kEqBandwidth,
    kEqGain,
    kEqMode,
    kEq2Type,
    kEq2Freq,
    kEq2Bandwidth,
    kEq2Gain,
    kDryMix,
    kWetMix,
    kBypassCeil
};

// Plain defaults in index order, as a fresh instance holds them.
inline const std::vector<double>& defaultValues() {
    static const std::vector<double> values = {20, 3.0,  8000, 0,   0, 1, 0,    2,  100, 90, 20, 50, 100,
                                               0,  2000, 50,   6.0, 0, 1, 6000, 75, 6.0, 60, 50, -60};
    return values;
}

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(size_t frames = 0) : left(frames, 0.0), right(frames, 0.0) {}
    size_t size() const { return left.size(); }
};

// Deterministic test signal in [-0.5, 0.5], different on each channel.
inline Stereo noise(size_t frames, unsigned seed) {
    Stereo s(frames);
    unsigned x = seed * 2654435761u + 1u;
    for (size_t i = 0; i < frames; ++i) {
        x = x * 1664525u + 1013904223u;
        s.left[i] = static_cast<double>(x >> 8) / 16777216.0 - 0.5;
        x = x * 1664525u + 1013904223u;
        s.right[i] = static_cast<double>(x >> 8) / 16777216.0 - 0.5;
    }
    return s;
}

inline Stereo impulse(size_t frames) {
    Stereo s(frames);
    s.left[0] = 1.0;
    return s;
}

// What the outputs hold before the plug-in writes them: a block that leaves them alone shows.
constexpr double kUnwritten = 99.0;

// Runs `in` through the instance in blocks of `block` frames (the last may be shorter), the
// changes delivered with the first block.
inline Stereo render(host::PluginInstance& plug, int32 sampleSize, const Stereo& in, int32 block,
                     Steinberg::Vst::IParameterChanges* firstChanges = nullptr) {
    using namespace Steinberg::Vst;
    host::ProcessBuffers buffers(sampleSize, block);
    Stereo out(in.size());
    for (size_t start = 0; start < in.size(); start += static_cast<size_t>(block)) {
        const auto n = static_cast<int32>(std::min(in.size() - start, static_cast<size_t>(block)));
        for (int32 c = 0; c < 2; ++c) {
            const std::vector<double>& src = c == 0 ? in.left : in.right;
            for (int32 i = 0; i < n; ++i) {
                const double x = src[start + static_cast<size_t>(i)];
                if (sampleSize == kSample64) {
                    buffers.channel64(kInput, 0, c)[i] = x;
                    buffers.channel64(kOutput, 0, c)[i] = kUnwritten;
                } else {
                    buffers.channel32(kInput, 0, c)[i] = static_cast<float>(x);
                    buffers.channel32(kOutput, 0, c)[i] = static_cast<float>(kUnwritten);
                }
            }
        }
        const tresult result = plug.process(buffers.prepare(n, start == 0 ? firstChanges : nullptr));
        EXPECT_EQ(result, Steinberg::kResultOk);
        for (int32 c = 0; c < 2; ++c) {
            std::vector<double>& dst = c == 0 ? out.left : out.right;
            for (int32 i = 0; i < n; ++i)
                dst[start + static_cast<size_t>(i)] = sampleSize == kSample64
                                                          ? buffers.channel64(kOutput, 0, c)[i]
                                                          : buffers.channel32(kOutput, 0, c)[i];
        }
    }
    return out;
}

// One block of changes, one point each at offset 0.
inline IPtr<host::ParameterChanges> changes(std::initializer_list<std::pair<ParamID, ParamValue>> points) {
    auto result = owned(new host::ParameterChanges());
    for (const auto& [id, value] : points)
        result->addChange(id, 0, value);
    return result;
}

// Delivers the changes with an empty block, as a host does between transport runs.
inline void apply(host::PluginInstance& plug, int32 sampleSize,
                  std::initializer_list<std::pair<ParamID, ParamValue>> points) {
    auto queued = changes(points);
    host::ProcessBuffers buffers(sampleSize, 1);
    EXPECT_EQ(plug.process(buffers.prepare(0, queued)), Steinberg::kResultOk);
}

inline std::vector<char> bytesOf(const std::vector<double>& values) {
    std::vector<char> bytes(values.size() * sizeof(double));
    if (!values.empty())
        std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

// The component state as plain values (empty when it is not a whole number of doubles).
inline std::vector<double> stateValues(host::PluginInstance& plug) {
    std::vector<char> bytes;
    EXPECT_EQ(plug.saveState(bytes), Steinberg::kResultOk);
    if (bytes.size() % sizeof(double) != 0)
        return {};
    std::vector<double> values(bytes.size() / sizeof(double));
    if (!values.empty())
        std::memcpy(values.data(), bytes.data(), bytes.size());
    return values;
}

// ((plain - min) / (max - min))^(1 / shape), clamped: how hosts see a plain value.
inline double normalizedOf(double plain, double min, double max, double shape = 1.0) {
    plain = std::min(std::max(plain, min), max);
    return std::pow((plain - min) / (max - min), 1.0 / shape);
}

inline std::string text(const Steinberg::Vst::String128 s) {
    return utf16ToUtf8(s, 128);
}

class HalvaneFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        module() = host::Module::open(HALVANE_BUNDLE, error);
        openError() = error;
    }
    static void TearDownTestSuite() { module().reset(); }

    void SetUp() override { ASSERT_TRUE(module()) << HALVANE_BUNDLE << ": " << openError(); }

    static std::shared_ptr<host::Module>& module() {
        static std::shared_ptr<host::Module> opened;
        return opened;
    }
    static std::string& openError() {
        static std::string error;
        return error;
    }

    static constexpr const char* kHostName = "Halvane Integration Host";

    std::unique_ptr<host::PluginInstance> create(const std::string& hostName = kHostName) {
        host::ClassInfo info;
        EXPECT_TRUE(module()->findClass("Audio Module Class", info));
        std::string error;
        auto plug = host::PluginInstance::create(module(), info.cid, hostName, error);
        EXPECT_TRUE(plug) << error;
        return plug;
    }

    // Created, buses activated, set up for stereo at `rate`, active and processing.
    std::unique_ptr<host::PluginInstance> start(int32 sampleSize = Steinberg::Vst::kSample64,
                                                double rate = 44100.0, int32 maxBlock = 1024,
                                                const std::string& hostName = kHostName) {
        auto plug = create(hostName);
        if (!plug)
            return plug;
        EXPECT_EQ(plug->activateDefaultBuses(), Steinberg::kResultOk);
        EXPECT_EQ(plug->setupProcessing(rate, maxBlock, sampleSize), Steinberg::kResultOk);
        EXPECT_EQ(plug->setActive(true), Steinberg::kResultOk);
        plug->setProcessing(true);
        return plug;
    }
};

} // namespace halvane::integration
