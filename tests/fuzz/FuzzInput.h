#pragma once

// Reading a fuzzer's bytes as the choices of a host: small integers, picks from tables of telling
// values, doubles. Past the end every read gives zero, so any input decodes.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "CLS_HALVANE.h"
#include "HostApplication.h"

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

  private:
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

// Aborts, so libFuzzer keeps the input, when a sample is not finite.
template <typename Sample> void RequireFinite(const Sample* samples, int count) {
    for (int i = 0; i < count; ++i)
        if (!(samples[i] - samples[i] == 0))
            __builtin_trap();
}

} // namespace halvane::fuzz
