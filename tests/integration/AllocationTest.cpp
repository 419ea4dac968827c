// The module's memory requests, seen through a replaced global allocator (the module's calls to
// operator new bind to this program's): no host value makes a block allocate without bound, and an
// allocation that fails inside a host call comes back as a result, with the instance still usable.

#include "HalvaneHost.h"

#include <atomic>
#include <cstdlib>
#include <new>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;

namespace {

std::atomic<long> failCountdown{0}; // > 0: the request that brings it to 0 fails
std::atomic<bool> failed{false};
std::atomic<bool> tracking{false};
std::atomic<size_t> largest{0};

void failAfter(long n) {
    failed = false;
    failCountdown = n;
}
bool stopFailing() {
    failCountdown = 0;
    return failed.load();
}

} // namespace

void* operator new(size_t size) {
    if (failCountdown.load() > 0 && --failCountdown == 0) {
        failed = true;
        throw std::bad_alloc();
    }
    if (tracking.load() && size > largest.load())
        largest = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace {

class HalvaneAllocation : public HalvaneFixture {
  protected:
    // Fails the first, second, ... allocation of `call` in fresh instances until a run needs no
    // failure: every failing run answers kOutOfMemory or kResultFalse, throws nothing at the host, and
    // leaves an instance that still saves its state and processes a finite block.
    template <typename Prepare, typename Call>
    void failEachAllocation(Prepare prepare, Call call, tresult success = kResultOk) {
        for (long n = 1; n < 100000; ++n) {
            auto plug = start();
            ASSERT_TRUE(plug);
            auto subject = prepare(*plug);
            tresult result = kInternalError;
            bool threw = false;
            failAfter(n);
            try {
                result = call(*plug, subject);
            } catch (...) {
                threw = true;
            }
            const bool injected = stopFailing();
            ASSERT_FALSE(threw) << "allocation " << n;
            if (!injected) {
                EXPECT_EQ(result, success);
                EXPECT_GT(n, 1) << "the call allocates nothing";
                return;
            }
            EXPECT_TRUE(result == kOutOfMemory || result == kResultFalse) << "allocation " << n;
            EXPECT_EQ(stateValues(*plug).size(), static_cast<size_t>(kParamCount)) << "allocation " << n;
            const Stereo out = render(*plug, kSample64, noise(256, 4), 256);
            for (size_t i = 0; i < out.size(); ++i)
                ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << "allocation " << n;
        }
        FAIL() << "the call never completed";
    }
};

TEST_F(HalvaneAllocation, LongBlockWithoutBuffersAllocatesLittle) {
    auto plug = start(kSample32, 44100.0, 512);
    halvane::host::ProcessBuffers buffers(kSample32, 0);
    ProcessData& data = buffers.prepare(0);
    data.numSamples = 1 << 21;
    data.inputs = nullptr;
    data.outputs = nullptr;
    largest = 0;
    tracking = true;
    EXPECT_EQ(plug->process(data), kResultOk);
    tracking = false;
    EXPECT_LE(largest.load(), size_t{1} << 20);
}

TEST_F(HalvaneAllocation, FailedAllocationInStateLoadIsAnsweredAndSurvived) {
    std::vector<double> hall = defaultValues();
    hall[kTime] = 12.0;
    hall[kPreDelay] = 400.0;
    hall[kSpace] = 40.0;
    hall[kSize] = 30.0;
    // Without a component handler, so every allocation counted is the module's own.
    failEachAllocation(
        [&](halvane::host::PluginInstance& plug) {
            plug.controller()->setComponentHandler(nullptr);
            return owned(new halvane::host::BufferStream(bytesOf(hall)));
        },
        [](halvane::host::PluginInstance& plug, IPtr<halvane::host::BufferStream>& stream) {
            return plug.component()->setState(stream);
        });
}

TEST_F(HalvaneAllocation, FailedAllocationInStateSaveIsAnsweredAndSurvived) {
    failEachAllocation([](auto&) { return owned(new halvane::host::BufferStream()); },
                       [](halvane::host::PluginInstance& plug, IPtr<halvane::host::BufferStream>& stream) {
                           return plug.component()->getState(stream);
                       });
}

TEST_F(HalvaneAllocation, FailedAllocationInArrangementIsAnsweredAndSurvived) {
    failEachAllocation([](auto&) { return 0; },
                       [](halvane::host::PluginInstance& plug, int) {
                           SpeakerArrangement mono = 0x80000;
                           return plug.processor()->setBusArrangements(&mono, 1, &mono, 1);
                       });
}

TEST_F(HalvaneAllocation, FailedAllocationInInitializeIsAnsweredAndSurvived) {
    // A second instance, created but not initialised, is the subject; after a failure it initialises.
    auto createBare = [this](auto&) {
        halvane::host::ClassInfo info;
        EXPECT_TRUE(module()->findClass("Audio Module Class", info));
        void* component = nullptr;
        module()->factory()->createInstance(info.cid.data(), IComponent::iid, &component);
        return owned(static_cast<IComponent*>(component));
    };
    auto host = owned(new halvane::host::HostApplication("Allocation Host"));
    for (long n = 1; n < 100000; ++n) {
        auto component = createBare(n);
        ASSERT_TRUE(component);
        tresult result = kInternalError;
        bool threw = false;
        failAfter(n);
        try {
            result = component->initialize(host->unknownCast());
        } catch (...) {
            threw = true;
        }
        const bool injected = stopFailing();
        ASSERT_FALSE(threw) << "allocation " << n;
        if (!injected) {
            EXPECT_EQ(result, kResultOk);
            component->terminate();
            return;
        }
        EXPECT_TRUE(result == kOutOfMemory || result == kResultFalse) << "allocation " << n;
        ASSERT_EQ(component->initialize(host->unknownCast()), kResultOk) << "allocation " << n;
        EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
        FUnknownPtr<IEditController> controller(component);
        ASSERT_TRUE(controller);
        EXPECT_EQ(controller->getParameterCount(), kParamCount + 1);
        component->terminate();
    }
    FAIL() << "initialize never completed";
}

} // namespace
