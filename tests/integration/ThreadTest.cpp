// A user-interface thread racing the audio thread, as hosts do: blocks (some carrying a program
// change) on one thread while the other sets and reads values, bypass and program, asks for texts and
// saves and loads the state. Under ThreadSanitizer nothing may race; under every build the output
// stays finite and the instance ends in one of the states it was given.

#include "HalvaneHost.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;

namespace {

class HalvaneThreads : public HalvaneFixture {};

std::vector<double> stateAfterProgram(halvane::host::PluginInstance& plug, int preset) {
    apply(plug, kSample64, {{kProgramId, preset / double(kPresetCount - 1)}});
    return stateValues(plug);
}

TEST_F(HalvaneThreads, UserInterfaceCallsRaceNothingInTheAudioThread) {
    auto plug = start(kSample64, 44100.0, 256);
    ASSERT_TRUE(plug);
    const std::vector<double> defaults = stateValues(*plug);
    const std::vector<double> hall = stateAfterProgram(*plug, 40);
    const std::vector<double> room = stateAfterProgram(*plug, 10); // what the audio thread loads
    ASSERT_EQ(plug->loadState(bytesOf(defaults)), kResultOk);
    const std::vector<char> given[] = {bytesOf(defaults), bytesOf(hall)};

    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        halvane::host::ProcessBuffers buffers(kSample64, 256);
        const Stereo in = noise(256, 3);
        auto program = changes({{kProgramId, 10.0 / (kPresetCount - 1)}});
        while (!stop.load()) {
            for (int32 c = 0; c < 2; ++c)
                std::copy_n((c == 0 ? in.left : in.right).begin(), 256, buffers.channel64(kInput, 0, c));
            const int n = blocks.fetch_add(1);
            plug->process(buffers.prepare(256, n % 8 == 7 ? program.get() : nullptr));
            for (int32 c = 0; c < 2; ++c)
                for (int32 i = 0; i < 256; ++i)
                    if (!std::isfinite(buffers.channel64(kOutput, 0, c)[i]))
                        finite = false;
        }
    });

    IEditController* controller = plug->controller();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int round = 0;
    while (std::chrono::steady_clock::now() < until || blocks.load() < 50) {
        const double x = (round % 11) / 10.0;
        controller->setParamNormalized(static_cast<ParamID>(round % kParamCount), x);
        controller->setParamNormalized(kBypassId, round % 2);
        controller->setParamNormalized(kProgramId, x);
        for (ParamID id = 0; id < kParamCount; ++id)
            EXPECT_TRUE(std::isfinite(controller->getParamNormalized(id)));
        controller->getParamNormalized(kBypassId);
        controller->getParamNormalized(kProgramId);
        String128 shown = {};
        controller->getParamStringByValue(static_cast<ParamID>(round % kParamCount), x, shown);
        std::vector<char> saved;
        EXPECT_EQ(plug->saveState(saved), kResultOk);
        EXPECT_EQ(saved.size(), static_cast<size_t>(kStateBytes));
        plug->loadState(given[round % 2]);
        ++round;
    }
    controller->setParamNormalized(kBypassId, 0.0);
    stop = true;
    audio.join();

    EXPECT_TRUE(finite.load());
    const std::vector<double> final = stateValues(*plug);
    EXPECT_TRUE(final == defaults || final == hall || final == room);
}

} // namespace
