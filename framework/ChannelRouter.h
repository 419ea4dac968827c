#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

// Routes the host's channel buffers to the processing hook: which channels the host connected, which
// host buffer or own conversion buffer each channel reads or writes, single-precision input and output
// converted through double buffers, and the pass-through of a bypassed block. Not thread-safe by
// itself: the plug-in's instance lock guards it.
class ChannelRouter {
  public:
    ChannelRouter(int inputs, int outputs);

    ChannelRouter(const ChannelRouter&) = delete;
    ChannelRouter& operator=(const ChannelRouter&) = delete;

    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    bool IsInputConnected(int channel) const;
    bool IsOutputConnected(int channel) const;

    // Sizes every conversion buffer to `frames`, zeroed (allocates for a block longer than any before).
    void SetMaxBlockSize(int frames);
    int BlockSize() const { return blockSize_; }

    void SetInputConnections(int start, int count, bool connected);
    void SetOutputConnections(int start, int count, bool connected);
    // Connected channels of [start, start + count) take the next of `bufferCount` host buffers; a missing
    // or null buffer leaves the channel on its own (silent) conversion buffer.
    void AttachInputs(int start, int count, double* const* buffers, int bufferCount, int frames);
    void AttachInputs(int start, int count, float* const* buffers, int bufferCount, int frames);
    void AttachOutputs(int start, int count, double* const* buffers, int bufferCount, int frames);
    void AttachOutputs(int start, int count, float* const* buffers, int bufferCount, int frames);

    // Grows every conversion buffer to hold `frames`, keeping channels that use them on them, so a block
    // longer than announced is still processed without overrun; the block about to run may write those
    // frames. Allocates only when it grows.
    void EnsureCapacity(int frames);
    // An unconnected input reads its own buffer: silences it, once after it last held host samples.
    // Called before every block runs.
    void SilenceUnconnectedInputs();
    // One pointer per channel, valid after EnsureCapacity until the next routing call.
    double** Inputs() { return inputPointers_.data(); }
    double** Outputs() { return outputPointers_.data(); }
    // Copies the double outputs to the single-precision host buffers they stand for.
    void ConvertOutputs(int frames);
    // Copies the first min(inputs, outputs) channels and zero-fills the other outputs.
    void PassThrough(int frames);
    void ClearConversionBuffers();

    // The pass-through copy over any pointer arrays of `inputs` and `outputs` channels.
    static void CopyAndZero(double** inputs, int inputCount, double** outputs, int outputCount, int frames);

  private:
    // A channel's own samples. Their memory is kept for the longest block announced (a host that
    // announced one may send one again) and comes zeroed from calloc, which takes a large buffer
    // straight from the system's zeroed pages; afterwards only what blocks have written is zeroed again.
    // So a host announcing a huge block pays only for the part its blocks use. Growth for a block longer
    // than announced goes through operator new, as the plug-in's other memory does.
    class Samples {
      public:
        double* data() const { return data_.get(); }
        size_t size() const { return size_; }
        // `size` zeros.
        void Assign(size_t size);
        // At least `size` samples: those held are kept, the new ones are zero.
        void Grow(size_t size);
        // Blocks are about to write the first `frames` samples.
        void Use(size_t frames) { used_ = std::max(used_, std::min(frames, size_)); }
        void Zero();

      private:
        struct Release {
            bool fromCalloc;
            void operator()(double* samples) const {
                if (fromCalloc)
                    std::free(samples);
                else
                    ::operator delete(samples);
            }
        };
        std::unique_ptr<double, Release> data_{nullptr, Release{false}};
        size_t size_ = 0;
        size_t capacity_ = 0;
        size_t used_ = 0; // from here on the memory holds zeros
    };
    struct InputChannel {
        bool connected = false;
        bool silent = true; // the buffer holds zeros
        double** slot = nullptr;
        Samples buffer;
    };
    struct OutputChannel {
        bool connected = false;
        double** slot = nullptr;
        float* floatDestination = nullptr;
        Samples buffer;
    };

    // Grows every conversion buffer to `frames` without marking any of it used.
    void Fit(int frames);

    int blockSize_ = 0;
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
    std::vector<InputChannel> inputs_;
    std::vector<OutputChannel> outputs_;
};
