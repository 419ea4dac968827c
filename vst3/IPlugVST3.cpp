#include "IPlugVST3.h"

// The component and processor side of IPlugVST3: buses, state, set-up, the audio block and the
// transport; the edit-controller and unit side is in IPlugVST3Controller.cpp.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "HostCallGuard.h"
#include "PlugIds.h"
#include "Utf16Text.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Speaker layout for a channel count, the same for every bus this class creates.
SpeakerArrangement ArrangementFor(int channels) {
    switch (channels) {
    case 1:
        return 0x80000; // mono
    case 2:
        return 3; // left, right
    case 3:
        return 259; // left, right, surround
    case 4:
        return 0xF00000; // first-order ambisonics
    case 5:
        return 55; // 5.0
    case 6:
        return 63; // 5.1
    default:
        return 0;
    }
}

int SpeakerCount(SpeakerArrangement arrangement) {
    int count = 0;
    for (uint64 bits = static_cast<uint64>(arrangement); bits; bits &= bits - 1)
        ++count;
    return count;
}

// Largest values a host may set up without the instance trying to allocate absurd amounts.
constexpr double kMaxSampleRate = 10.0e6;
constexpr int32 kMaxBlockFrames = 1 << 22;
// A component state is a few hundred bytes; stop reading a stream that never ends long before that matters.
constexpr size_t kMaxStateBytes = 1 << 20;
// A block longer than this and than the set-up maximum runs in pieces of this many frames, so the
// conversion buffers never grow beyond the larger of the two.
constexpr int kMaxPieceFrames = 8192;

} // namespace

IPlugVST3::IPlugVST3(int paramCount, const char* channelConfigs, int presetCount, const char* effectName,
                     const char* productName, const char* makerName, int version, int uniqueId, int makerId,
                     int latency, bool doesMidi, bool doesChunks, bool isInstrument, int sideChainChannels)
    : IPlugBase(paramCount, channelConfigs, presetCount, effectName, productName, makerName, version,
                uniqueId, makerId, latency, doesMidi, doesChunks, isInstrument, 1),
      sideChainChannels_(sideChainChannels) {
    SetInputConnections(0, InputChannelCount(), true);
    SetOutputConnections(0, OutputChannelCount(), true);
    valuesBefore_.assign(static_cast<size_t>(ParamCount()), 0.0);
    piece32_.assign(static_cast<size_t>(std::max(InputChannelCount(), OutputChannelCount())), nullptr);
    piece64_.assign(piece32_.size(), nullptr);

    InputBusNames().push_back("Main Input");
    if (sideChainChannels_ > 0)
        InputBusNames().push_back("Aux Input");
    if (isInstrument) {
        for (int i = 0; i < OutputChannelCount() / 2; ++i) {
            char name[32];
            std::snprintf(name, sizeof(name), "Output %i", i + 1);
            OutputBusNames().push_back(name);
        }
    } else {
        OutputBusNames().push_back("Output");
    }
}

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
    if (initialized_)
        return kResultFalse;
    tresult result = SingleComponentEffect::initialize(context);

    GuardHostCall([&]() -> tresult {
        IHostApplication* app = nullptr;
        if (context &&
            context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&app)) == kResultOk &&
            app) {
            String128 name = {};
            if (app->getName(name) == kResultOk) {
                name[127] = 0;
                IdentifyHost(halvane::utf16ToUtf8(name, 128).c_str(), 0);
            } else {
                IdentifyHost("", 0);
            }
            app->release();
        }
        return kResultOk;
    });

    if (result == kResultOk) {
        result = GuardHostCall([&]() -> tresult {
            AddBuses();
            RegisterParameters();
            return kResultOk;
        });
        if (result == kResultOk)
            initialized_ = true;
        else
            SingleComponentEffect::terminate(); // drops the buses and parameters made so far
    }
    GuardHostCall([&]() -> tresult {
        AfterInitialize();
        return kResultOk;
    });
    return result;
}

tresult PLUGIN_API IPlugVST3::terminate() {
    initialized_ = false;
    return SingleComponentEffect::terminate();
}

void IPlugVST3::AddBuses() {
    int mainInputs = InputChannelCount() - sideChainChannels_;
    if (mainInputs >= 1 && mainInputs <= 6) {
        addAudioInput(halvane::utf8ToUtf16(InputBusNames()[0]).c_str(), ArrangementFor(mainInputs));
    }
    if (IsInstrument()) {
        for (int i = 0; i < OutputChannelCount() / 2 && i < static_cast<int>(OutputBusNames().size()); ++i) {
            addAudioOutput(halvane::utf8ToUtf16(OutputBusNames()[static_cast<size_t>(i)]).c_str(),
                           ArrangementFor(2));
        }
    } else {
        addAudioOutput(halvane::utf8ToUtf16(OutputBusNames()[0]).c_str(),
                       ArrangementFor(OutputChannelCount()));
    }
    if (sideChainChannels_ > 0 && InputBusNames().size() > 1) {
        addAudioInput(halvane::utf8ToUtf16(InputBusNames()[1]).c_str(),
                      ArrangementFor(std::min(sideChainChannels_, 2)), kAux, 0);
    }
    if (DoesMidi())
        addEventInput(halvane::utf8ToUtf16("MIDI Input").c_str(), 1);
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
    return GuardHostCall([&]() -> tresult {
        ActiveChanged(state != 0);
        return kResultOk;
    });
}

tresult IPlugVST3::saveComponentState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    return GuardHostCall([&]() -> tresult {
        LockGuard guard(Lock());
        StateChunk chunk;
        if (!SaveState(&chunk))
            return kResultFalse;
        int32 written = 0;
        if (state->write(const_cast<uint8_t*>(chunk.Data()), static_cast<int32>(chunk.Size()), &written) !=
                kResultOk ||
            written != static_cast<int32>(chunk.Size())) {
            return kResultFalse;
        }
        return kResultOk;
    });
}

tresult IPlugVST3::loadComponentState(IBStream* state) {
    if (!state)
        return kInvalidArgument;
    bool changed = false;
    const tresult result = GuardHostCall([&]() -> tresult {
        LockGuard guard(Lock());

        int64 start = 0;
        if (state->tell(&start) != kResultOk || start < 0)
            start = 0;

        // One host reports an error on the read that reaches the end of its stream, yet delivers the bytes.
        const bool keepReadingOnError = HostCode() == 28;
        StateChunk chunk;
        char piece[128];
        while (chunk.Size() < kMaxStateBytes) {
            int32 got = 0;
            tresult r = state->read(piece, sizeof(piece), &got);
            got = std::max<int32>(0, std::min<int32>(got, sizeof(piece)));
            if (r != kResultOk) {
                if (!keepReadingOnError)
                    break;
                chunk.PutBytes(piece, static_cast<size_t>(got));
                if (got == 0)
                    break;
                continue;
            }
            if (got == 0)
                break;
            chunk.PutBytes(piece, static_cast<size_t>(got));
        }

        RememberValues();
        int position = -1;
        try {
            position = LoadState(chunk, 0);
        } catch (...) {
            changed = AnyValueChanged(); // the values taken before the failure stay
            throw;
        }
        changed = AnyValueChanged();
        RefreshParamControls();
        if (position < 0)
            return kResultFalse;
        // Leave the stream just after the state, for hosts that keep more behind it.
        state->seek(start + position, IBStream::kIBSeekSet, nullptr);
        return kResultOk;
    });
    // Outside the lock: hosts read the new values back from inside this call.
    if (changed && componentHandler)
        GuardHostCall([&]() -> tresult { return componentHandler->restartComponent(kParamValuesChanged); });
    return result;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
    return GuardHostCall([&]() -> tresult {
        SetInputConnections(0, InputChannelCount(), false);
        SetOutputConnections(0, OutputChannelCount(), false);

        int inSpeakers = inputs && numIns > 0 ? SpeakerCount(inputs[0]) : 0;
        int outSpeakers = outputs && numOuts > 0 ? SpeakerCount(outputs[0]) : 0;
        if (!IsSupportedIO(inSpeakers, outSpeakers))
            return kResultFalse;

        // A replacement keeps the active state the host gave the bus it replaces.
        auto replace = [](BusList& list, size_t index, const char* name, BusType type, int32 flags,
                          int speakers) {
            bool active = list[index]->isActive();
            list[index] = IPtr<Bus>(
                new AudioBus(halvane::utf8ToUtf16(name).c_str(), type, flags, ArrangementFor(speakers)),
                false);
            list[index]->setActive(active);
        };
        AudioBus* in = getAudioInput(0);
        if (in && SpeakerCount(in->getArrangement()) != inSpeakers)
            replace(audioInputs, 0, "Input", kMain, BusInfo::kDefaultActive, inSpeakers);
        AudioBus* out = getAudioOutput(0);
        if (out && SpeakerCount(out->getArrangement()) != outSpeakers)
            replace(audioOutputs, 0, "Output", kMain, BusInfo::kDefaultActive, outSpeakers);

        if (sideChainChannels_ <= 0)
            return numIns == 1 ? kResultOk : kResultFalse;

        if (numIns != 2 || !inputs)
            return kResultFalse;
        AudioBus* side = getAudioInput(1);
        int sideSpeakers = SpeakerCount(inputs[1]);
        if (side && SpeakerCount(side->getArrangement()) != sideSpeakers)
            replace(audioInputs, 1, "Sidechain Input", kAux, 0, sideSpeakers);
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() {
    return static_cast<uint32>(std::max(0, Latency()));
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
        return kResultFalse;
    // Rates and block sizes no host uses would only make the instance allocate without bound.
    if (!std::isfinite(setup.sampleRate) || setup.sampleRate > kMaxSampleRate ||
        setup.maxSamplesPerBlock > kMaxBlockFrames) {
        return kResultFalse;
    }
    return GuardHostCall([&]() -> tresult {
        SetBypassed(false);
        SetSampleRate(setup.sampleRate);
        SetMaxBlockSize(std::max<int32>(0, setup.maxSamplesPerBlock));
        Reset();
        processSetup = setup;
        return kResultOk;
    });
}

tresult PLUGIN_API IPlugVST3::setProcessing(TBool) {
    return kNotImplemented;
}

uint32 PLUGIN_API IPlugVST3::getTailSamples() {
    return GuardHostCall(uint32{0}, [&] {
        LockGuard guard(Lock());
        return static_cast<uint32>(std::max(0, TailSamples()));
    });
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
    // Nothing may escape to the host; a block that fails is simply not (wholly) processed.
    GuardHostCall([&]() -> tresult {
        LockGuard guard(Lock());
        if (data.processContext)
            processContext_ = *data.processContext;
        ApplyParameterChanges(data.inputParameterChanges, data.outputParameterChanges);
        RouteAndRun(data);
        return kResultOk;
    });
    return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes, IParameterChanges* outputChanges) {
    if (!changes)
        return;
    int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue)
            continue;
        int32 points = queue->getPointCount();
        if (points <= 0)
            continue;
        int32 offset = 0;
        ParamValue value = 0.0;
        // All changes apply before the block's audio: only the last point of each queue counts.
        if (queue->getPoint(points - 1, offset, value) != kResultOk)
            continue;
        ParamID id = queue->getParameterId();

        if (id == PlugIds::kBypass) {
            SetBypassed(value > 0.5);
        } else if (id == PlugIds::kPresets) {
            RememberValues();
            LoadPreset(ProgramIndexFromNormalized(value));
            // The host's controls and automation follow the preset only when told its values.
            for (int i = 0; i < ParamCount() && outputChanges; ++i) {
                if (!ValueChanged(i))
                    continue;
                int32 index = 0;
                if (IParamValueQueue* out = outputChanges->addParameterData(static_cast<ParamID>(i), index))
                    out->addPoint(0, GetParam(i)->NormalizedValue(), index);
            }
        } else if (id < static_cast<ParamID>(ParamCount())) {
            int index = static_cast<int>(id);
            GetParam(index)->SetFromNormalized(value);
            if (Editor())
                Editor()->SetParameterFromPlug(index, value, true);
            ParamChanged(index);
        }
    }
}

void IPlugVST3::RememberValues() {
    for (int i = 0; i < ParamCount(); ++i)
        valuesBefore_[static_cast<size_t>(i)] = GetParam(i)->Value();
}

bool IPlugVST3::ValueChanged(int index) const {
    return GetParam(index)->Value() != valuesBefore_[static_cast<size_t>(index)];
}

bool IPlugVST3::AnyValueChanged() const {
    for (int i = 0; i < ParamCount(); ++i)
        if (ValueChanged(i))
            return true;
    return false;
}

void IPlugVST3::RouteAndRun(ProcessData& data) {
    const bool single = data.symbolicSampleSize == kSample32;
    if (!single && data.symbolicSampleSize != kSample64)
        return;
    ConnectBuses(data);
    // A block longer than the conversion buffers runs in pieces; the output does not depend on how a
    // block is cut, and no host value makes the instance allocate without bound.
    const int frames = std::max<int32>(0, data.numSamples);
    const int piece = std::max(BlockSize(), kMaxPieceFrames);
    const bool bypassed = IsBypassed();
    int done = 0;
    do {
        const int n = std::min(piece, frames - done);
        AttachBuses(data, done, n, single);
        if (bypassed) {
            single ? PassThroughFloat(n) : PassThrough(n);
        } else {
            single ? RunBlockFloat(n) : RunBlock(n);
        }
        done += n;
    } while (done < frames);
}

// Every block starts from nothing connected and connects what it carries: a bus the host leaves out
// must not keep the buffers of an earlier block, which the host may have freed since.
void IPlugVST3::ConnectBuses(const ProcessData& data) {
    const int inputChannels = InputChannelCount();
    const int outputChannels = OutputChannelCount();
    SetInputConnections(0, inputChannels, false);
    SetOutputConnections(0, outputChannels, false);
    if (data.numInputs > 0 && data.inputs)
        SetInputConnections(0, std::min(std::max<int32>(0, data.inputs[0].numChannels), inputChannels), true);
    if (!data.outputs)
        return;
    int index = 0;
    for (int32 j = 0; j < data.numOutputs && index < outputChannels; ++j) {
        int n = std::min(std::max<int32>(0, data.outputs[j].numChannels), outputChannels - index);
        AudioBus* sdkBus = getAudioOutput(j);
        SetOutputConnections(index, n, sdkBus && sdkBus->isActive());
        index += n;
    }
}

void IPlugVST3::AttachBuses(const ProcessData& data, int offset, int frames, bool single) {
    const int inputChannels = InputChannelCount();
    const int outputChannels = OutputChannelCount();
    if (data.numInputs > 0 && data.inputs) {
        int count = PieceBuffers(data.inputs[0], offset, single, inputChannels);
        if (single) {
            AttachInputs(0, inputChannels, piece32_.data(), count, frames);
        } else {
            AttachInputs(0, inputChannels, piece64_.data(), count, frames);
        }
    }
    if (!data.outputs)
        return;
    int index = 0;
    for (int32 j = 0; j < data.numOutputs && index < outputChannels; ++j) {
        int n = std::min(std::max<int32>(0, data.outputs[j].numChannels), outputChannels - index);
        int count = PieceBuffers(data.outputs[j], offset, single, n);
        if (single) {
            AttachOutputs(index, n, piece32_.data(), count, frames);
        } else {
            AttachOutputs(index, n, piece64_.data(), count, frames);
        }
        index += n;
    }
}

int IPlugVST3::PieceBuffers(const AudioBusBuffers& bus, int offset, bool single, int limit) {
    int count = std::min({std::max<int32>(0, bus.numChannels), limit, static_cast<int>(piece32_.size())});
    if (single ? !bus.channelBuffers32 : !bus.channelBuffers64)
        return 0;
    for (int k = 0; k < count; ++k) {
        if (single) {
            float* host = bus.channelBuffers32[k];
            piece32_[static_cast<size_t>(k)] = host ? host + offset : nullptr;
        } else {
            double* host = bus.channelBuffers64[k];
            piece64_[static_cast<size_t>(k)] = host ? host + offset : nullptr;
        }
    }
    return count;
}

int IPlugVST3::SamplePosition() {
    return static_cast<int>(static_cast<uint32>(processContext_.projectTimeSamples & 0xFFFFFFFF));
}

double IPlugVST3::Tempo() {
    return processContext_.tempo;
}

void IPlugVST3::TimeSignature(int* numerator, int* denominator) {
    if (numerator)
        *numerator = processContext_.timeSigNumerator;
    if (denominator)
        *denominator = processContext_.timeSigDenominator;
}

bool IPlugVST3::SendMidiMessage(const MidiMessage&) {
    return false;
}

bool IPlugVST3::IsOfflineRender() const {
    return processSetup.processMode == kOffline;
}

int IPlugVST3::TransportState() const {
    if (processContext_.state & ProcessContext::kPlaying)
        return 1;
    if (processContext_.state & ProcessContext::kRecording)
        return 2;
    return 0;
}

void IPlugVST3::GetTimeInfo(TimeInfo* info) const {
    if (!info)
        return;
    const ProcessContext& c = processContext_;
    info->tempo = c.tempo;
    info->samplePosition = static_cast<double>(c.projectTimeSamples);
    info->ppqPosition = c.projectTimeMusic;
    info->lastBar = c.barPositionMusic;
    info->cycleStart = c.cycleStartMusic;
    info->cycleEnd = c.cycleEndMusic;
    info->numerator = c.timeSigNumerator;
    info->denominator = c.timeSigDenominator;
    info->transportRunning = (c.state & ProcessContext::kPlaying) != 0;
    info->loopEnabled = (c.state & ProcessContext::kCycleActive) != 0;
}
