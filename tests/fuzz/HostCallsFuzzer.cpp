// A host that does anything in any order: set-up with odd rates and block sizes, activation, speaker
// arrangements, bus activation, blocks with odd sample counts, missing buses and buffers, parameter
// queues with unknown ids and non-finite values, controller queries, state, views and new instances.
// Every block's buffers are freed after it, so a plug-in that keeps a host pointer past its block is
// caught.
//
// Inputs share one instance, as a host's calls share one for a session: creating one (its editor above
// all) costs many times what an input does. Before each input it is taken back to where a new one
// starts, through the host's own calls: inactive, terminated and initialised again (fresh buses and
// parameters, no component handler), every parameter at its default, the first preset selected, and
// set up anew so the lines are empty. What a restart cannot undo makes a new instance instead: a preset
// slot the last input made. What stays is what a host's instance keeps too: the engine has run before
// (its first block is a new instance's, which an input asks for by an op of its own) and the loops'
// lowpass, tone and gate history.

#include <limits>
#include <memory>

#include "FuzzInput.h"

#include "BufferStream.h"
#include "ComponentHandler.h"
#include "ParameterChanges.h"
#include "ProcessBuffers.h"
#include "Utf16Text.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::fuzz::FuzzInput;
using halvane::fuzz::Instance;
using halvane::fuzz::RequireFinite;
using halvane::fuzz::Saw;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const ParamID kIds[] = {0, 1, 3, 5, 12, 13, 22, 24, 25, 0x62706173, 0x70727374, 0xFFFFFFFF, 0x80000000, 1000};
const double kValues[] = {0.0, 1.0,   0.5,   0.25,   0.999, 1e-300, -0.0, -1.0,
                          2.0, 149.0, 1e300, -1e300, kNaN,  kInf,   -kInf};

ParamID Id(FuzzInput& in) {
    return in.flag() ? in.pick(kIds) : in.u32();
}
double Value(FuzzInput& in) {
    return in.byte() < 200 ? in.pick(kValues) : in.f64();
}

void SetUp(Instance& plug, FuzzInput& in) {
    const int32 modes[] = {kRealtime, kPrefetch, kOffline, 7};
    const int32 sizes[] = {kSample32, kSample64, 2, -1};
    const int32 blocks[] = {0, 1, 2, 31, 64, 256, 1024, 4096, 8192, -1, 1 << 23, 0x7FFFFFFF};
    // Longer than a piece, up to the largest accepted (buffers of 32 MB).
    const int32 longBlocks[] = {16384, 32768, 65536, 1 << 22};
    const double rates[] = {44100.0, 48000.0, 8000.0,   1.0,  0.5,  22050.0,
                            96000.0, 0.0,     -44100.0, kNaN, kInf, 1e12};
    const double hugeRates[] = {192000.0, 384000.0, 1e7}; // up to the highest accepted: lines of megabytes
    ProcessSetup setup{in.pick(modes), in.pick(sizes), in.pick(blocks, longBlocks),
                       in.pick(rates, hugeRates)};
    plug.processor->setupProcessing(setup);
}

void Arrange(Instance& plug, FuzzInput& in) {
    const SpeakerArrangement layouts[] = {0, 0x80000, 3, 259, 0xF00000, 55, 63, ~0ull, 1ull << 63};
    SpeakerArrangement ins[2] = {in.pick(layouts), in.pick(layouts)};
    SpeakerArrangement outs[2] = {in.pick(layouts), in.pick(layouts)};
    const int32 numIns = in.byte() % 3, numOuts = in.byte() % 3;
    plug.processor->setBusArrangements(in.flag() ? nullptr : ins, numIns, in.flag() ? nullptr : outs,
                                       numOuts);
}

void Process(Instance& plug, FuzzInput& in, int32 setupSize) {
    const int32 counts[] = {0, 1, 2, 3, 17, 64, 255, 256, 257, -1, -1000};
    const int32 longCounts[] = {1000, 1024, 4095, 8192, 20000}; // several spans, pieces
    int32 sampleSize = setupSize;
    if (in.byte() > 240)
        sampleSize = in.flag() ? 5 : (setupSize == kSample32 ? kSample64 : kSample32);
    const bool noBuffers = in.byte() > 230;
    int32 frames = in.pick(counts, longCounts);
    if (noBuffers && in.rare())
        frames = 1 << 15;

    std::vector<int32> inChannels(in.byte() % 3), outChannels(in.byte() % 3);
    for (int32& n : inChannels)
        n = in.byte() % 4;
    for (int32& n : outChannels)
        n = in.byte() % 4;
    const int32 bufferSize = sampleSize == kSample32 ? kSample32 : kSample64;
    halvane::host::ProcessBuffers buffers(bufferSize, std::max(frames, 0), inChannels, outChannels);
    for (BusDirection dir : {kInput, kOutput}) {
        for (int32 b = 0; b < buffers.busCount(dir); ++b) {
            const uint8_t nulls = in.byte();
            buffers.setNullChannelArray(dir, b, nulls > 240);
            for (int32 c = 0; c < buffers.channelCount(dir, b); ++c) {
                buffers.setNullChannel(dir, b, c, (nulls >> c & 0x11) == 0x11);
                Saw(buffers, dir, b, c, std::max(frames, 0), 13, c * 7, 32);
            }
        }
    }

    auto changes = owned(new halvane::host::ParameterChanges());
    for (int q = in.byte() % 6; q > 0; --q) {
        const ParamID id = Id(in);
        for (int p = in.byte() % 4; p > 0; --p)
            changes->addChange(id, in.flag() ? 0 : static_cast<int32>(in.u32()), Value(in));
        if (in.byte() > 240)
            if (auto* queue = changes->queueFor(id))
                queue->setUnreadable(true);
    }
    auto outputChanges = owned(new halvane::host::ParameterChanges());
    ProcessContext context{};
    context.state = in.u32();
    context.sampleRate = Value(in);
    context.tempo = Value(in);
    context.projectTimeSamples = static_cast<int64>(in.u32()) << (in.byte() % 32);

    ProcessData& data =
        buffers.prepare(0, in.flag() ? changes.get() : nullptr, in.flag() ? outputChanges.get() : nullptr,
                        in.flag() ? &context : nullptr);
    data.numSamples = frames;
    data.symbolicSampleSize = sampleSize;
    if (noBuffers) {
        data.inputs = in.flag() ? nullptr : data.inputs;
        data.outputs = in.flag() ? nullptr : data.outputs;
        if (in.flag())
            data.numOutputs = 0;
    }
    plug.processor->process(data);

    if (sampleSize != kSample32 && sampleSize != kSample64)
        return;
    for (int32 b = 0; b < buffers.busCount(kOutput); ++b)
        for (int32 c = 0; c < buffers.channelCount(kOutput, b); ++c) {
            if (bufferSize == kSample64)
                RequireFinite(buffers.channel64(kOutput, b, c), std::max(frames, 0));
            else
                RequireFinite(buffers.channel32(kOutput, b, c), std::max(frames, 0));
        }
}

void AskController(Instance& plug, FuzzInput& in) {
    IEditController* c = plug.controller;
    const ParamID id = Id(in);
    const double value = Value(in);
    String128 text = {};
    ParameterInfo info{};
    switch (in.byte() % 8) {
    case 0:
        c->setParamNormalized(id, value);
        break;
    case 1:
        c->getParamNormalized(id);
        break;
    case 2:
        c->getParamStringByValue(id, value, text);
        break;
    case 3: {
        const char* texts[] = {"12.5 ms", "", "-inf", "nan", "1e308", "Cone", "99999999999999999999"};
        halvane::utf8ToUtf16(in.pick(texts), text, 128);
        ParamValue out = 0.0;
        c->getParamValueByString(id, text, out);
        break;
    }
    case 4:
        c->normalizedParamToPlain(id, value);
        break;
    case 5:
        c->plainParamToNormalized(id, value);
        break;
    case 6:
        c->getParameterInfo(static_cast<int32>(in.u32() % 40) - 5, info);
        break;
    default:
        c->getParameterCount();
        break;
    }
}

void AskUnits(Instance& plug, FuzzInput& in) {
    IUnitInfo* units = plug.plug;
    const int32 index = static_cast<int32>(in.byte()) - 2;
    String128 name = {};
    UnitInfo unit{};
    ProgramListInfo list{};
    BusInfo bus{};
    SpeakerArrangement arrangement = 0;
    switch (in.byte() % 8) {
    case 0:
        units->getUnitInfo(index, unit);
        break;
    case 1:
        units->getProgramListInfo(index, list);
        break;
    case 2:
        units->getProgramName(in.flag() ? 0x70727374 : in.u32(), static_cast<int32>(in.u32()), name);
        break;
    case 3:
        plug.component->getBusInfo(in.byte() % 3, in.byte() % 3, index, bus);
        break;
    case 4:
        plug.processor->getBusArrangement(in.byte() % 3, index, arrangement);
        break;
    case 5:
        plug.processor->getTailSamples();
        plug.processor->getLatencySamples();
        break;
    case 6:
        plug.processor->canProcessSampleSize(static_cast<int32>(in.u32()));
        break;
    default:
        plug.component->activateBus(in.byte() % 3, in.byte() % 3, index, in.flag());
        break;
    }
}

void State(Instance& plug, FuzzInput& in) {
    if (in.flag()) {
        const size_t n = std::min<size_t>(in.byte() * 2u, in.remaining());
        std::vector<char> bytes(in.rest(), in.rest() + n);
        for (size_t i = 0; i < n; ++i)
            in.byte();
        auto stream = owned(new halvane::host::BufferStream(std::move(bytes)));
        (in.flag() ? plug.component->setState(stream) : plug.controller->setComponentState(stream));
    } else {
        auto stream = owned(new halvane::host::BufferStream());
        plug.component->getState(stream);
        if (stream->bytes().size() != 200)
            __builtin_trap();
    }
}

void View(Instance& plug, FuzzInput& in) {
    const char* names[] = {"editor", "", "other"};
    IPlugView* view = plug.controller->createView(in.flag() ? nullptr : in.pick(names));
    if (!view)
        return;
    ViewRect rect{};
    view->isPlatformTypeSupported(in.flag() ? kPlatformTypeHWND : kPlatformTypeX11EmbedWindowID);
    view->getSize(&rect);
    view->canResize();
    view->checkSizeConstraint(&rect);
    view->removed();
    view->release();
}

// The instance the inputs share, and what a new one looks like.
class Fixture {
  public:
    Fixture() { Renew(); }

    Instance& Plug() { return *instance_; }

    // A new instance, as a host creates one.
    void Renew() {
        instance_.reset();
        instance_ = std::make_unique<Instance>();
        used_ = false;
        if (defaults_.empty()) {
            auto stream = owned(new halvane::host::BufferStream());
            instance_->component->getState(stream);
            defaults_ = stream->bytes();
            for (int i = 0; i < instance_->plug->PresetCount(); ++i)
                made_.push_back(instance_->plug->GetPreset(i)->initialised);
        }
    }

    // Back to where a new instance starts, for all the next input reaches.
    void Restart() {
        if (!used_)
            return;
        for (int i = 0; i < instance_->plug->PresetCount(); ++i)
            if (instance_->plug->GetPreset(i)->initialised != made_[static_cast<size_t>(i)])
                return Renew();
        Instance& plug = *instance_;
        plug.component->setActive(false);
        plug.component->terminate();
        plug.component->initialize(plug.host->unknownCast());
        auto stream = owned(new halvane::host::BufferStream(defaults_));
        plug.component->setState(stream);
        plug.plug->SetCurrentPresetIndex(0);
        // Set up twice: a rate no input uses first, so the second, at a new instance's rate with no
        // block size, empties every line.
        for (const double rate : {1000.0, 44100.0}) {
            ProcessSetup setup{kRealtime, kSample32, 0, rate};
            plug.processor->setupProcessing(setup);
        }
        used_ = false;
    }
    void Used() { used_ = true; }

  private:
    std::unique_ptr<Instance> instance_;
    std::vector<char> defaults_;
    std::vector<bool> made_;
    bool used_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    fixture.Restart();
    fixture.Used();
    FuzzInput in(data, size);
    auto handler = owned(new halvane::host::ComponentHandler());
    int32 setupSize = kSample32;
    for (int op = 0; op < 64 && !in.empty(); ++op) {
        Instance& plug = fixture.Plug();
        switch (in.byte() % 12) {
        case 0: {
            SetUp(plug, in);
            setupSize = plug.plug->getProcessSetup().symbolicSampleSize;
            break;
        }
        case 1:
            plug.component->setActive(in.flag());
            break;
        case 2:
            plug.processor->setProcessing(in.flag());
            break;
        case 3:
            Arrange(plug, in);
            break;
        case 4:
        case 5:
            Process(plug, in, setupSize);
            break;
        case 6:
            AskController(plug, in);
            break;
        case 7:
            AskUnits(plug, in);
            break;
        case 8:
            State(plug, in);
            break;
        case 9:
            View(plug, in);
            break;
        case 10:
            plug.controller->setComponentHandler(in.flag() ? handler.get() : nullptr);
            break;
        default: {
            const uint8_t choice = in.byte();
            if (choice & 1) {
                plug.component->initialize(plug.host->unknownCast());
            } else if (choice != 0xFE) {
                plug.component->queryInterface(IUnitInfo::iid, nullptr);
            } else {
                fixture.Renew(); // the host drops this instance and creates another
                fixture.Used();
                setupSize = kSample32;
            }
            break;
        }
        }
    }
    return 0;
}
