#pragma once

// Audio buffers and ProcessData for one plug-in, in 32-bit or 64-bit samples. The bus
// layout is the caller's (stereo in and out by default; a mono bus, no bus, or null buffers
// for robustness tests). Buffers grow when a block asks for more samples than they hold, so
// even a block beyond the plug-in's set-up maximum is backed by real memory.

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <vector>

namespace halvane::host {

class ProcessBuffers {
  public:
    // sampleSize: Steinberg::Vst::kSample32 or kSample64; one entry per bus giving its
    // channel count.
    ProcessBuffers(Steinberg::int32 sampleSize, Steinberg::int32 capacity,
                   std::vector<Steinberg::int32> inputBusChannels = {2},
                   std::vector<Steinberg::int32> outputBusChannels = {2});

    Steinberg::int32 sampleSize() const { return sampleSize_; }
    Steinberg::int32 capacity() const { return capacity_; }
    Steinberg::int32 busCount(Steinberg::Vst::BusDirection dir) const;
    Steinberg::int32 channelCount(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus) const;

    // The samples of one channel (capacity() long), or null when the channel does not exist
    // or the buffers hold the other sample size.
    float* channel32(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus, Steinberg::int32 channel);
    double* channel64(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus, Steinberg::int32 channel);

    // Robustness: hand the plug-in a null channel array for a bus, or a null pointer for one
    // channel. Takes effect with the next prepare().
    void setNullChannelArray(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus, bool isNull = true);
    void setNullChannel(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus, Steinberg::int32 channel,
                        bool isNull = true);

    // Zeros every sample (inputs and outputs).
    void clear();

    // Fills the process data for a block of numSamples (growing the buffers when needed);
    // the caller may change any field afterwards. Valid until the next prepare().
    Steinberg::Vst::ProcessData& prepare(Steinberg::int32 numSamples,
                                         Steinberg::Vst::IParameterChanges* inputChanges = nullptr,
                                         Steinberg::Vst::IParameterChanges* outputChanges = nullptr,
                                         Steinberg::Vst::ProcessContext* context = nullptr,
                                         Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
    Steinberg::Vst::ProcessData& data() { return data_; }

  private:
    struct Bus {
        std::vector<std::vector<float>> samples32;
        std::vector<std::vector<double>> samples64;
        std::vector<float*> pointers32;
        std::vector<double*> pointers64;
        std::vector<bool> nullChannel;
        bool nullArray = false;
    };

    std::vector<Bus>& buses(Steinberg::Vst::BusDirection dir) {
        return dir == Steinberg::Vst::kInput ? inputs_ : outputs_;
    }
    const std::vector<Bus>& buses(Steinberg::Vst::BusDirection dir) const {
        return dir == Steinberg::Vst::kInput ? inputs_ : outputs_;
    }
    Bus* findBus(Steinberg::Vst::BusDirection dir, Steinberg::int32 bus);
    void makeBuses(std::vector<Bus>& target, const std::vector<Steinberg::int32>& channels);
    void resize(Steinberg::int32 capacity);
    void link(std::vector<Bus>& source, std::vector<Steinberg::Vst::AudioBusBuffers>& target);

    Steinberg::int32 sampleSize_;
    Steinberg::int32 capacity_ = 0;
    std::vector<Bus> inputs_;
    std::vector<Bus> outputs_;
    std::vector<Steinberg::Vst::AudioBusBuffers> inputBuffers_;
    std::vector<Steinberg::Vst::AudioBusBuffers> outputBuffers_;
    Steinberg::Vst::ProcessData data_;
};

} // namespace halvane::host
