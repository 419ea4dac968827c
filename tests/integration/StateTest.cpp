// Component and controller state of the real module as hosts save and restore projects:
// the 200-byte round trip, short, empty and corrupt data, streams that report errors (and
// the host whose streams do so at every read), and the controller's empty state.

#include "HalvaneHost.h"

#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::integration;
using halvane::host::BufferStream;

namespace {

class HalvaneState : public HalvaneFixture {};

// A value for every parameter, each in range and different from its default.
const std::vector<double>& otherValues() {
    static const std::vector<double> values = {500, 12.5, 4000, 7,    3, 4, -50,  5,  40,  30, 70, 10, 60,
                                               2,   5000, 20,   -3.5, 2, 3, 9000, 40, 2.5, 80, 20, -80};
    return values;
}

// Every read delivers what it can and still reports an error, as some hosts' streams do.
class ErrorReportingStream : public BufferStream {
  public:
    using BufferStream::BufferStream;
    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) SMTG_OVERRIDE {
        BufferStream::read(buffer, numBytes, numBytesRead);
        return kResultFalse;
    }
};

std::vector<double> withPrefix(size_t count) {
    std::vector<double> values = defaultValues();
    std::copy(otherValues().begin(), otherValues().begin() + static_cast<long>(count), values.begin());
    return values;
}

} // namespace

TEST_F(HalvaneState, RoundTripRestoresEveryValue) {
    auto source = start();
    ASSERT_TRUE(source);
    ASSERT_EQ(source->loadState(bytesOf(otherValues())), kResultOk);
    // Host automation after the load: what is saved is what the parameters hold now.
    apply(*source, kSample64, {{kTime, 0.5}, {kSpace, 1.0}});
    std::vector<char> saved;
    ASSERT_EQ(source->saveState(saved), kResultOk);
    ASSERT_EQ(saved.size(), static_cast<size_t>(kStateBytes));
    std::vector<double> expected = otherValues();
    expected[kTime] = 0.25 * 79.9 + 0.1;
    expected[kSpace] = 59;
    const std::vector<double> values = stateValues(*source);
    ASSERT_EQ(values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(values[i], expected[i], 1e-12) << "parameter " << i;

    // The stream ends right after the state, as it does for every state the plug-in wrote.
    auto copy = create();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->loadState(saved), kResultOk);
    EXPECT_EQ(stateValues(*copy), values);
    for (ParamID id = 0; id < kParamCount; ++id)
        EXPECT_EQ(copy->controller()->getParamNormalized(id), source->controller()->getParamNormalized(id))
            << "parameter " << id;

    // Bytes after the state are left for whoever wrote them.
    auto padded = create();
    ASSERT_TRUE(padded);
    std::vector<char> longer = saved;
    longer.resize(longer.size() + 12, '\x7f');
    EXPECT_EQ(padded->loadState(longer), kResultOk);
    EXPECT_EQ(stateValues(*padded), values);
}

TEST_F(HalvaneState, ShortDataChangesOnlyTheWholeValuesIn) {
    for (size_t bytes : {0u, 5u, 8u, 100u, 199u}) {
        SCOPED_TRACE(std::to_string(bytes) + " bytes");
        auto plug = create();
        ASSERT_TRUE(plug);
        std::vector<char> data = bytesOf(otherValues());
        data.resize(bytes);
        EXPECT_EQ(plug->loadState(data), kResultFalse);
        EXPECT_EQ(stateValues(*plug), withPrefix(bytes / 8));
    }
}

TEST_F(HalvaneState, StoredValuesAreClampedToTheirRangesButNotRounded) {
    auto plug = create();
    ASSERT_TRUE(plug);
    ASSERT_EQ(plug->loadState(bytesOf(std::vector<double>(kParamCount, 1e9))), kResultOk);
    std::vector<double> values = stateValues(*plug);
    EXPECT_EQ(values[kPreDelay], 1000.0);
    EXPECT_EQ(values[kTime], 80.0);
    EXPECT_EQ(values[kSpace], 59.0);
    EXPECT_EQ(values[kBypassCeil], -50.0);

    ASSERT_EQ(plug->loadState(bytesOf(std::vector<double>(kParamCount, -1e9))), kResultOk);
    values = stateValues(*plug);
    EXPECT_EQ(values[kTime], 0.1);
    EXPECT_EQ(values[kMonoPosition], -100.0);
    EXPECT_EQ(values[kEqBandwidth], 1.0);
    EXPECT_EQ(values[kBypassCeil], -100.0);

    std::vector<double> between = defaultValues();
    between[kPreDelay] = 12.5;
    between[kStereo] = 2.25;
    ASSERT_EQ(plug->loadState(bytesOf(between)), kResultOk);
    EXPECT_EQ(stateValues(*plug), between);
}

TEST_F(HalvaneState, CorruptDataLeavesAPlugInThatStillProcesses) {
    std::vector<char> random(kStateBytes);
    unsigned x = 12345;
    for (char& byte : random) {
        x = x * 1664525u + 1013904223u;
        byte = static_cast<char>(x >> 24);
    }
    const std::vector<char> allOnes(kStateBytes, '\xff'); // 25 NaNs
    std::vector<double> infinite = defaultValues();
    infinite[kPreDelay] = std::numeric_limits<double>::infinity();
    infinite[kTime] = -std::numeric_limits<double>::infinity();

    for (const std::vector<char>& data : {random, allOnes}) {
        auto plug = start();
        ASSERT_TRUE(plug);
        plug->loadState(data);
        for (double value : stateValues(*plug))
            EXPECT_TRUE(std::isfinite(value)) << value;
        const Stereo out = render(*plug, kSample64, noise(2048, 2), 512);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << "sample " << i;
    }
    auto plug = start();
    ASSERT_TRUE(plug);
    EXPECT_EQ(plug->loadState(bytesOf(infinite)), kResultOk);
    EXPECT_EQ(stateValues(*plug)[kPreDelay], 1000.0);
    EXPECT_EQ(stateValues(*plug)[kTime], 0.1);
}

TEST_F(HalvaneState, OnlyWaveLabReadsOnAfterAReadReportsAnError) {
    const struct {
        const char* hostName;
        bool readsOn;
    } hosts[] = {
        {"WaveLab", true},
        {"Steinberg WAVELAB Pro 11", true},
        {"Cubase with WaveLab", false}, // "cubase" is recognised first
        {"Halvane Integration Host", false},
    };
    for (const auto& host : hosts) {
        SCOPED_TRACE(host.hostName);
        // WaveLab's own streams report an error on the read that reaches the end; a stream
        // may also report one on every read.
        for (bool everyRead : {false, true}) {
            SCOPED_TRACE(everyRead ? "error on every read" : "error on the short read at the end");
            auto plug = create(host.hostName);
            ASSERT_TRUE(plug);
            IPtr<BufferStream> stream =
                everyRead ? owned<BufferStream>(new ErrorReportingStream(bytesOf(otherValues())))
                          : owned(new BufferStream(bytesOf(otherValues()), BufferStream::ShortRead::Fails));
            const tresult result = plug->component()->setState(stream);
            const std::vector<double> values = stateValues(*plug);
            if (host.readsOn) {
                EXPECT_EQ(result, kResultOk);
                EXPECT_EQ(values, otherValues());
            } else {
                // Reading stopped within the first 128 bytes: 16 values at most.
                EXPECT_EQ(result, kResultFalse);
                ASSERT_EQ(values.size(), static_cast<size_t>(kParamCount));
                for (size_t i = 16; i < values.size(); ++i)
                    EXPECT_EQ(values[i], defaultValues()[i]) << "parameter " << i;
            }
        }
    }
}

TEST_F(HalvaneState, ControllerStateCarriesNoBytes) {
    auto plug = create();
    ASSERT_TRUE(plug);
    IEditController* controller = plug->controller();

    auto out = owned(new BufferStream());
    EXPECT_EQ(controller->getState(out), kResultOk);
    EXPECT_TRUE(out->bytes().empty());

    auto in = owned(new BufferStream(bytesOf(otherValues())));
    EXPECT_EQ(controller->setState(in), kResultOk);
    EXPECT_EQ(in->position(), 0);
    EXPECT_EQ(stateValues(*plug), defaultValues());

    auto component = owned(new BufferStream(bytesOf(otherValues())));
    EXPECT_EQ(controller->setComponentState(component), kNotImplemented);
    EXPECT_EQ(stateValues(*plug), defaultValues());

    // The component's own state is the whole of it: exactly 200 bytes.
    std::vector<char> saved;
    ASSERT_EQ(plug->saveState(saved), kResultOk);
    EXPECT_EQ(saved, bytesOf(defaultValues()));
}
