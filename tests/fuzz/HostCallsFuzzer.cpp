// A host that does anything in any order: set-up with odd rates and block sizes, activation, speaker
// arrangements, bus activation, blocks with odd sample counts, missing buses and buffers, parameter
// queues with unknown ids and non-finite values, controller queries, state and views. Every block's
// buffers are freed after it, so a plug-in that keeps a host pointer past its block is caught.

#include <limits>

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
    const int32 blocks[] = {0, 1, 2, 31, 64, 256, 1024, 4096, 8192, -1, 1 << 22, 1 << 23, 0x7FFFFFFF};
    const double rates[] = {44100.0,  48000.0, 8000.0,   1.0,  0.5,  22050.0, 96000.0, 192000.0,
                            384000.0, 0.0,     -44100.0, kNaN, kInf, 1e7,     1e12};
    ProcessSetup setup{in.pick(modes), in.pick(sizes), in.pick(blocks), in.pick(rates)};
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
    const int32 counts[] = {0, 1, 2, 3, 17, 64, 255, 256, 257, 1000, 1024, 4095, 8192, 20000, -1, -1000};
    int32 sampleSize = setupSize;
    if (in.byte() > 240)
        sampleSize = in.flag() ? 5 : (setupSize == kSample32 ? kSample64 : kSample32);
    const bool noBuffers = in.byte() > 230;
    int32 frames = in.pick(counts);
    if (noBuffers && in.flag())
        frames = 1 << 17;

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
                for (int32 i = 0; i < std::max(frames, 0); ++i) {
                    const double x = ((i * 13 + c * 7) % 32) / 32.0 - 0.5;
                    if (bufferSize == kSample64)
                        buffers.channel64(dir, b, c)[i] = x;
                    else
                        buffers.channel32(dir, b, c)[i] = static_cast<float>(x);
                }
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    Instance plug;
    auto handler = owned(new halvane::host::ComponentHandler());
    int32 setupSize = kSample32;
    for (int op = 0; op < 64 && !in.empty(); ++op) {
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
        default:
            if (in.flag())
                plug.component->initialize(plug.host->unknownCast());
            else
                plug.component->queryInterface(IUnitInfo::iid, nullptr);
            break;
        }
    }
    return 0;
}
