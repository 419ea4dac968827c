#include "ProcessBuffers.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::host {

ProcessBuffers::ProcessBuffers(int32 sampleSize, int32 capacity, std::vector<int32> inputBusChannels,
                               std::vector<int32> outputBusChannels)
    : sampleSize_(sampleSize) {
    makeBuses(inputs_, inputBusChannels);
    makeBuses(outputs_, outputBusChannels);
    inputBuffers_.resize(inputs_.size());
    outputBuffers_.resize(outputs_.size());
    resize(std::max<int32>(capacity, 0));
}

void ProcessBuffers::makeBuses(std::vector<Bus>& target, const std::vector<int32>& channels) {
    for (int32 count : channels) {
        const auto n = static_cast<size_t>(std::max<int32>(count, 0));
        Bus bus;
        if (sampleSize_ == kSample64)
            bus.samples64.resize(n);
        else
            bus.samples32.resize(n);
        bus.pointers32.resize(n);
        bus.pointers64.resize(n);
        bus.nullChannel.assign(n, false);
        target.push_back(std::move(bus));
    }
}

void ProcessBuffers::resize(int32 capacity) {
    capacity_ = capacity;
    for (std::vector<Bus>* list : {&inputs_, &outputs_}) {
        for (Bus& bus : *list) {
            for (auto& channel : bus.samples32)
                channel.resize(static_cast<size_t>(capacity));
            for (auto& channel : bus.samples64)
                channel.resize(static_cast<size_t>(capacity));
        }
    }
}

int32 ProcessBuffers::busCount(BusDirection dir) const {
    return static_cast<int32>(buses(dir).size());
}

int32 ProcessBuffers::channelCount(BusDirection dir, int32 bus) const {
    const auto& list = buses(dir);
    if (bus < 0 || bus >= static_cast<int32>(list.size()))
        return 0;
    return static_cast<int32>(list[static_cast<size_t>(bus)].nullChannel.size());
}

ProcessBuffers::Bus* ProcessBuffers::findBus(BusDirection dir, int32 bus) {
    auto& list = buses(dir);
    if (bus < 0 || bus >= static_cast<int32>(list.size()))
        return nullptr;
    return &list[static_cast<size_t>(bus)];
}

float* ProcessBuffers::channel32(BusDirection dir, int32 bus, int32 channel) {
    Bus* b = findBus(dir, bus);
    if (!b || channel < 0 || channel >= static_cast<int32>(b->samples32.size()))
        return nullptr;
    return b->samples32[static_cast<size_t>(channel)].data();
}

double* ProcessBuffers::channel64(BusDirection dir, int32 bus, int32 channel) {
    Bus* b = findBus(dir, bus);
    if (!b || channel < 0 || channel >= static_cast<int32>(b->samples64.size()))
        return nullptr;
    return b->samples64[static_cast<size_t>(channel)].data();
}

void ProcessBuffers::setNullChannelArray(BusDirection dir, int32 bus, bool isNull) {
    if (Bus* b = findBus(dir, bus))
        b->nullArray = isNull;
}

void ProcessBuffers::setNullChannel(BusDirection dir, int32 bus, int32 channel, bool isNull) {
    Bus* b = findBus(dir, bus);
    if (b && channel >= 0 && channel < static_cast<int32>(b->nullChannel.size()))
        b->nullChannel[static_cast<size_t>(channel)] = isNull;
}

void ProcessBuffers::clear() {
    for (std::vector<Bus>* list : {&inputs_, &outputs_}) {
        for (Bus& bus : *list) {
            for (auto& channel : bus.samples32)
                std::fill(channel.begin(), channel.end(), 0.0f);
            for (auto& channel : bus.samples64)
                std::fill(channel.begin(), channel.end(), 0.0);
        }
    }
}

void ProcessBuffers::link(std::vector<Bus>& source, std::vector<AudioBusBuffers>& target) {
    for (size_t i = 0; i < source.size(); ++i) {
        Bus& bus = source[i];
        AudioBusBuffers& buffers = target[i];
        buffers.numChannels = static_cast<int32>(bus.nullChannel.size());
        buffers.silenceFlags = 0;
        for (size_t c = 0; c < bus.nullChannel.size(); ++c) {
            const bool isNull = bus.nullChannel[c];
            bus.pointers32[c] = isNull || bus.samples32.empty() ? nullptr : bus.samples32[c].data();
            bus.pointers64[c] = isNull || bus.samples64.empty() ? nullptr : bus.samples64[c].data();
        }
        if (bus.nullArray)
            buffers.channelBuffers64 = nullptr;
        else if (sampleSize_ == kSample64)
            buffers.channelBuffers64 = bus.pointers64.data();
        else
            buffers.channelBuffers32 = bus.pointers32.data();
    }
}

ProcessData& ProcessBuffers::prepare(int32 numSamples, IParameterChanges* inputChanges,
                                     IParameterChanges* outputChanges, ProcessContext* context,
                                     int32 processMode) {
    if (numSamples > capacity_)
        resize(numSamples);
    link(inputs_, inputBuffers_);
    link(outputs_, outputBuffers_);

    data_ = ProcessData();
    data_.processMode = processMode;
    data_.symbolicSampleSize = sampleSize_;
    data_.numSamples = numSamples;
    data_.numInputs = static_cast<int32>(inputBuffers_.size());
    data_.numOutputs = static_cast<int32>(outputBuffers_.size());
    data_.inputs = inputBuffers_.empty() ? nullptr : inputBuffers_.data();
    data_.outputs = outputBuffers_.empty() ? nullptr : outputBuffers_.data();
    data_.inputParameterChanges = inputChanges;
    data_.outputParameterChanges = outputChanges;
    data_.processContext = context;
    return data_;
}

} // namespace halvane::host
