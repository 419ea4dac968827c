// The component state from any bytes: loaded, saved, loaded again, and played in both sample sizes.
// Whatever a project file holds, the instance keeps a whole state that survives a round trip, and its
// output stays finite.

#include "FuzzInput.h"

#include "BufferStream.h"
#include "ProcessBuffers.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::fuzz::FuzzInput;
using halvane::fuzz::Instance;
using halvane::fuzz::RequireFinite;
using halvane::host::BufferStream;
using halvane::host::ProcessBuffers;

namespace {

std::vector<char> Save(Instance& instance) {
    auto stream = owned(new BufferStream());
    if (instance.component->getState(stream) != kResultOk)
        __builtin_trap();
    return stream->bytes();
}

void Play(Instance& instance, int32 sampleSize, double rate) {
    ProcessSetup setup{kRealtime, sampleSize, 256, rate};
    if (instance.processor->setupProcessing(setup) != kResultOk)
        __builtin_trap();
    instance.component->setActive(true);
    ProcessBuffers buffers(sampleSize, 256);
    for (int block = 0; block < 4; ++block) {
        for (int32 c = 0; c < 2; ++c) {
            for (int i = 0; i < 256; ++i) {
                const double x = ((i * 37 + c * 11 + block * 5) % 64) / 64.0 - 0.5;
                if (sampleSize == kSample64)
                    buffers.channel64(kInput, 0, c)[i] = x;
                else
                    buffers.channel32(kInput, 0, c)[i] = static_cast<float>(x);
            }
        }
        instance.processor->process(buffers.prepare(256));
        for (int32 c = 0; c < 2; ++c) {
            if (sampleSize == kSample64)
                RequireFinite(buffers.channel64(kOutput, 0, c), 256);
            else
                RequireFinite(buffers.channel32(kOutput, 0, c), 256);
        }
    }
    instance.component->setActive(false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const auto shortRead = input.flag() ? BufferStream::ShortRead::Fails : BufferStream::ShortRead::Succeeds;
    const double rates[] = {44100.0, 48000.0, 8000.0, 96000.0};
    const double rate = input.pick(rates);

    Instance instance;
    instance.component->activateBus(kAudio, kInput, 0, true);
    instance.component->activateBus(kAudio, kOutput, 0, true);
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
