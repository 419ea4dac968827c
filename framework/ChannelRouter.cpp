#include "ChannelRouter.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Hands each connected channel of [start, start + count) the next of the host's buffers, or null when
// the host gave fewer than it announced; unconnected channels consume none.
template <typename Channel, typename Sample, typename Attach>
void ForEachConnected(std::vector<Channel>& channels, int start, int count, Sample* const* buffers,
                      int bufferCount, Attach attach) {
    int end = std::min(start + std::max(count, 0), static_cast<int>(channels.size()));
    int next = 0;
    for (int i = std::max(start, 0); i < end; ++i) {
        Channel& c = channels[static_cast<size_t>(i)];
        if (!c.connected)
            continue;
        attach(c, buffers && next < bufferCount ? buffers[next] : nullptr);
        ++next;
    }
}

} // namespace

ChannelRouter::ChannelRouter(int inputs, int outputs)
    : inputPointers_(static_cast<size_t>(std::max(inputs, 0)), nullptr),
      outputPointers_(static_cast<size_t>(std::max(outputs, 0)), nullptr), inputs_(inputPointers_.size()),
      outputs_(outputPointers_.size()) {
    for (size_t i = 0; i < inputs_.size(); ++i)
        inputs_[i].slot = &inputPointers_[i];
    for (size_t i = 0; i < outputs_.size(); ++i)
        outputs_[i].slot = &outputPointers_[i];
}

void ChannelRouter::Samples::Assign(size_t size) {
    if (size <= capacity_) {
        Zero();
        size_ = size;
        return;
    }
    auto* samples = static_cast<double*>(std::calloc(size, sizeof(double)));
    if (!samples)
        throw std::bad_alloc();
    data_ = std::unique_ptr<double, Release>(samples, Release{true});
    size_ = capacity_ = size;
    used_ = 0;
}

void ChannelRouter::Samples::Grow(size_t size) {
    if (size <= size_)
        return;
    if (size > capacity_) {
        std::unique_ptr<double, Release> grown(static_cast<double*>(::operator new(size * sizeof(double))),
                                               Release{false});
        if (used_ > 0)
            std::memcpy(grown.get(), data_.get(), used_ * sizeof(double));
        std::memset(grown.get() + used_, 0, (size - used_) * sizeof(double));
        data_ = std::move(grown);
        capacity_ = size;
    }
    size_ = size;
}

void ChannelRouter::Samples::Zero() {
    if (used_ > 0)
        std::memset(data_.get(), 0, used_ * sizeof(double));
    used_ = 0;
}

void ChannelRouter::SetMaxBlockSize(int frames) {
    if (frames == blockSize_)
        return;
    size_t size = static_cast<size_t>(std::max(frames, 0));
    auto resize = [size](auto& channel) {
        bool own = *channel.slot == channel.buffer.data();
        channel.buffer.Assign(size);
        if (own)
            *channel.slot = channel.buffer.data();
    };
    for (InputChannel& c : inputs_) {
        resize(c);
        c.silent = true;
    }
    for (OutputChannel& c : outputs_)
        resize(c);
    blockSize_ = frames;
}

void ChannelRouter::EnsureCapacity(int frames) {
    Fit(frames);
    const size_t size = static_cast<size_t>(std::max(frames, 1));
    for (InputChannel& c : inputs_)
        c.buffer.Use(size);
    for (OutputChannel& c : outputs_)
        c.buffer.Use(size);
}

void ChannelRouter::Fit(int frames) {
    size_t size = static_cast<size_t>(std::max(frames, 1));
    auto grow = [size](auto& channel) {
        if (channel.buffer.size() >= size) {
            if (!*channel.slot)
                *channel.slot = channel.buffer.data();
            return;
        }
        bool own = !*channel.slot || *channel.slot == channel.buffer.data();
        channel.buffer.Grow(size);
        if (own)
            *channel.slot = channel.buffer.data();
    };
    for (InputChannel& c : inputs_)
        grow(c);
    for (OutputChannel& c : outputs_)
        grow(c);
}

void ChannelRouter::ClearConversionBuffers() {
    for (InputChannel& c : inputs_) {
        c.buffer.Zero();
        c.silent = true;
    }
    for (OutputChannel& c : outputs_)
        c.buffer.Zero();
}

void ChannelRouter::SetInputConnections(int start, int count, bool connected) {
    int end = std::min(start + std::max(count, 0), InputCount());
    Fit(blockSize_);
    for (int i = std::max(start, 0); i < end; ++i) {
        InputChannel& c = inputs_[static_cast<size_t>(i)];
        // An unconnected input reads its own buffer, silenced before the block runs; hosts connect and
        // disconnect every block, so it is not cleared here.
        if (!connected)
            *c.slot = c.buffer.data();
        c.connected = connected;
    }
}

void ChannelRouter::SetOutputConnections(int start, int count, bool connected) {
    int end = std::min(start + std::max(count, 0), OutputCount());
    Fit(blockSize_);
    for (int i = std::max(start, 0); i < end; ++i) {
        OutputChannel& c = outputs_[static_cast<size_t>(i)];
        c.connected = connected;
        if (!connected) {
            *c.slot = c.buffer.data();
            c.floatDestination = nullptr;
        }
    }
}

void ChannelRouter::AttachInputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
    EnsureCapacity(frames);
    ForEachConnected(inputs_, start, count, buffers, bufferCount, [](InputChannel& c, double* host) {
        if (!host && !c.silent) {
            c.buffer.Zero();
            c.silent = true;
        }
        *c.slot = host ? host : c.buffer.data();
    });
}

void ChannelRouter::AttachInputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
    EnsureCapacity(frames);
    ForEachConnected(inputs_, start, count, buffers, bufferCount,
                     [frames](InputChannel& c, const float* host) {
                         if (host) {
                             double* const widened = c.buffer.data();
                             for (int s = 0; s < frames; ++s)
                                 widened[s] = host[s];
                             c.silent = false;
                         } else if (!c.silent) {
                             c.buffer.Zero();
                             c.silent = true;
                         }
                         *c.slot = c.buffer.data();
                     });
}

void ChannelRouter::AttachOutputs(int start, int count, double* const* buffers, int bufferCount, int frames) {
    EnsureCapacity(frames);
    ForEachConnected(outputs_, start, count, buffers, bufferCount, [](OutputChannel& c, double* host) {
        *c.slot = host ? host : c.buffer.data();
        c.floatDestination = nullptr;
    });
}

void ChannelRouter::AttachOutputs(int start, int count, float* const* buffers, int bufferCount, int frames) {
    EnsureCapacity(frames);
    ForEachConnected(outputs_, start, count, buffers, bufferCount, [](OutputChannel& c, float* host) {
        c.floatDestination = host;
        *c.slot = c.buffer.data();
    });
}

void ChannelRouter::SilenceUnconnectedInputs() {
    for (InputChannel& c : inputs_) {
        if (!c.connected && !c.silent) {
            c.buffer.Zero();
            c.silent = true;
        }
    }
}

void ChannelRouter::PassThrough(int frames) {
    EnsureCapacity(frames);
    SilenceUnconnectedInputs();
    CopyAndZero(Inputs(), InputCount(), Outputs(), OutputCount(), frames);
}

void ChannelRouter::CopyAndZero(double** inputs, int inputCount, double** outputs, int outputCount,
                                int frames) {
    if (frames <= 0 || !inputs || !outputs)
        return;
    size_t bytes = static_cast<size_t>(frames) * sizeof(double);
    int copied = std::min(inputCount, outputCount);
    for (int i = 0; i < outputCount; ++i) {
        if (!outputs[i])
            continue;
        if (i < copied && inputs[i]) {
            if (outputs[i] != inputs[i])
                std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

void ChannelRouter::ConvertOutputs(int frames) {
    for (OutputChannel& c : outputs_) {
        if (!c.connected || !c.floatDestination || !*c.slot)
            continue;
        // Locals, so the compiler sees a plain double-to-float loop it may vectorise.
        const double* const source = *c.slot;
        float* const destination = c.floatDestination;
        for (int s = 0; s < frames; ++s)
            destination[s] = static_cast<float>(source[s]);
    }
}

bool ChannelRouter::IsInputConnected(int channel) const {
    return channel >= 0 && channel < InputCount() && inputs_[static_cast<size_t>(channel)].connected;
}

bool ChannelRouter::IsOutputConnected(int channel) const {
    return channel >= 0 && channel < OutputCount() && outputs_[static_cast<size_t>(channel)].connected;
}
