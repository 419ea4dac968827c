#pragma once

// Reading a fuzzer's bytes as the choices of a host: small integers, picks from tables of telling
// values, doubles. Past the end every read gives zero, so any input decodes.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "CLS_HALVANE.h"
#include "HostApplication.h"
#include "ProcessBuffers.h"

namespace halvane::fuzz {

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    size_t remaining() const { return size_ - pos_; }
    const uint8_t* rest() const { return data_ + pos_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
    double f64() {
        uint64_t bits = static_cast<uint64_t>(u32()) | static_cast<uint64_t>(u32()) << 32;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    bool flag() { return byte() & 1; }
    template <typename T, size_t N> T pick(const T (&table)[N]) { return table[byte() % N]; }
    // One byte: a value of `common`, or one time in 32 one of `rare`, values that cost many times an
    // input's usual (long audio, huge memory); a few inputs holding them reach all they reach.
    template <typename T, size_t N, size_t M> T pick(const T (&common)[N], const T (&rare)[M]) {
        const uint8_t b = byte();
        return b < kRareFrom ? common[b % N] : rare[(b - kRareFrom) % M];
    }
    // One byte: true one time in 32.
    bool rare() { return byte() >= kRareFrom; }

  private:
    static constexpr uint8_t kRareFrom = 248;

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// One instance as a host holds it: created, initialised with a host context, its three roles.
struct Instance {
    Steinberg::IPtr<CLS_HALVANE> plug = Steinberg::owned(new CLS_HALVANE());
    Steinberg::IPtr<host::HostApplication> host = Steinberg::owned(new host::HostApplication("Fuzz Host"));
    Steinberg::Vst::IComponent* component = plug;
    Steinberg::Vst::IAudioProcessor* processor = plug;
    Steinberg::Vst::IEditController* controller = plug;

    Instance() { component->initialize(host->unknownCast()); }
    ~Instance() {
        component->setActive(false);
        component->terminate();
    }
};

// A sawtooth on one channel, the same in either sample size: sample i is ((i * step + phase) % period)
// / period - 0.5. Nothing when the buffers have no such channel.
inline void Saw(host::ProcessBuffers& buffers, Steinberg::Vst::BusDirection dir, Steinberg::int32 bus,
                Steinberg::int32 channel, int frames, int step, int phase, int period) {
    double* wide = buffers.channel64(dir, bus, channel);
    float* narrow = buffers.channel32(dir, bus, channel);
    for (int i = 0; i < frames; ++i) {
        const double x = ((i * step + phase) % period) / static_cast<double>(period) - 0.5;
        if (wide)
            wide[i] = x;
        else if (narrow)
            narrow[i] = static_cast<float>(x);
    }
}

// Aborts, so libFuzzer keeps the input, when a sample is not finite.
template <typename Sample> void RequireFinite(const Sample* samples, int count) {
    for (int i = 0; i < count; ++i)
        if (!(samples[i] - samples[i] == 0))
            __builtin_trap();
}

} // namespace halvane::fuzz
