// The component state from any bytes: loaded, saved, loaded again, and played in both sample sizes.
// Whatever a project file holds, the instance keeps a whole state that survives a round trip, and its
// output stays finite.
//
// One instance serves every input, as one instance in a host loads project after project: creating
// one (its editor above all) costs many times what an input does. Before each input it goes back to
// where a new one starts for all the input reaches: inactive, every parameter at its default, and set
// up at a rate no input plays at, so the input's own set-up sizes and empties every line again. What
// stays is what an instance keeps from one project to the next: its engine has run before, and its
// loops' lowpass, tone filter and gate history.

#include "FuzzInput.h"

#include "BufferStream.h"
#include "ProcessBuffers.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::fuzz::FuzzInput;
using halvane::fuzz::Instance;
using halvane::fuzz::RequireFinite;
using halvane::fuzz::Saw;
using halvane::host::BufferStream;
using halvane::host::ProcessBuffers;

namespace {

constexpr double kIdleRate = 1000.0;

std::vector<char> Save(Instance& instance) {
    auto stream = owned(new BufferStream());
    if (instance.component->getState(stream) != kResultOk)
        __builtin_trap();
    return stream->bytes();
}

void SetUp(Instance& instance, int32 sampleSize, double rate) {
    ProcessSetup setup{kRealtime, sampleSize, 256, rate};
    if (instance.processor->setupProcessing(setup) != kResultOk)
        __builtin_trap();
}

// Two blocks of odd lengths: the second carries on from the first. Longer audio reaches nothing more.
void Play(Instance& instance, int32 sampleSize, double rate) {
    SetUp(instance, sampleSize, rate);
    instance.component->setActive(true);
    ProcessBuffers buffers(sampleSize, 256);
    int block = 0;
    for (const int frames : {96, 37}) {
        for (int32 c = 0; c < 2; ++c)
            Saw(buffers, kInput, 0, c, frames, 37, c * 11 + block * 5, 64);
        ++block;
        instance.processor->process(buffers.prepare(frames));
        for (int32 c = 0; c < 2; ++c) {
            if (sampleSize == kSample64)
                RequireFinite(buffers.channel64(kOutput, 0, c), frames);
            else
                RequireFinite(buffers.channel32(kOutput, 0, c), frames);
        }
    }
    instance.component->setActive(false);
}

struct Fixture {
    Instance instance;
    std::vector<char> defaults;

    Fixture() {
        instance.component->activateBus(kAudio, kInput, 0, true);
        instance.component->activateBus(kAudio, kOutput, 0, true);
        defaults = Save(instance);
    }

    // Where a new instance starts.
    void Restart() {
        instance.component->setActive(false);
        SetUp(instance, kSample64, kIdleRate);
        auto stream = owned(new BufferStream(defaults));
        if (instance.component->setState(stream) != kResultOk)
            __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    Instance& instance = fixture.instance;
    fixture.Restart();

    FuzzInput input(data, size);
    const auto shortRead = input.flag() ? BufferStream::ShortRead::Fails : BufferStream::ShortRead::Succeeds;
    const double rates[] = {44100.0, 48000.0, 8000.0, 96000.0};
    const double rate = input.pick(rates);

    auto stream = owned(
        new BufferStream(std::vector<char>(reinterpret_cast<const char*>(input.rest()),
                                           reinterpret_cast<const char*>(input.rest()) + input.remaining()),
                         shortRead));
    instance.component->setState(stream);

    // Whatever was loaded, the saved state is whole and loads back to itself.
    const std::vector<char> saved = Save(instance);
    if (saved.size() != 200)
        __builtin_trap();
    auto again = owned(new BufferStream(saved));
    instance.component->setState(again);
    if (Save(instance) != saved)
        __builtin_trap();

    Play(instance, kSample64, rate);
    Play(instance, kSample32, rate);
    return 0;
}
