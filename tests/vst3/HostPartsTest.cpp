// The host library's own parts, without a module: streams, parameter queues, process
// buffers, bundle layout and class id printing.

#include "BufferStream.h"
#include "Module.h"
#include "ParameterChanges.h"
#include "PlatformLibrary.h"
#include "ProcessBuffers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace halvane::host;

TEST(BufferStream, ShortReadReportsAsConfigured) {
    for (auto mode : {BufferStream::ShortRead::Succeeds, BufferStream::ShortRead::Fails}) {
        auto stream = owned(new BufferStream({1, 2, 3}, mode));
        char buffer[8] = {};
        int32 read = -1;
        EXPECT_EQ(stream->read(buffer, 2, &read), kResultOk);
        EXPECT_EQ(read, 2);
        const tresult expected = mode == BufferStream::ShortRead::Fails ? kResultFalse : kResultOk;
        EXPECT_EQ(stream->read(buffer, 4, &read), expected);
        EXPECT_EQ(read, 1);
        EXPECT_EQ(buffer[0], 3);
        EXPECT_EQ(stream->read(buffer, 4, &read), expected);
        EXPECT_EQ(read, 0);
    }
}

TEST(BufferStream, RejectsBadArgumentsWithoutMoving) {
    auto stream = owned(new BufferStream({1, 2, 3}));
    char buffer[4];
    int32 count = 7;
    EXPECT_EQ(stream->read(nullptr, 2, &count), kInvalidArgument);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(stream->read(buffer, -1, nullptr), kInvalidArgument);
    EXPECT_EQ(stream->write(nullptr, 1, nullptr), kInvalidArgument);
    EXPECT_EQ(stream->seek(-1, IBStream::kIBSeekSet, nullptr), kInvalidArgument);
    EXPECT_EQ(stream->seek(0, 9, nullptr), kInvalidArgument);
    EXPECT_EQ(stream->tell(nullptr), kInvalidArgument);
    EXPECT_EQ(stream->position(), 0);
    EXPECT_EQ(stream->bytes().size(), 3u);
}

TEST(BufferStream, SeeksAndWritesPastTheEnd) {
    auto stream = owned(new BufferStream());
    char data[2] = {9, 8};
    int64 at = -1;
    EXPECT_EQ(stream->seek(3, IBStream::kIBSeekSet, &at), kResultOk);
    EXPECT_EQ(at, 3);
    int32 written = 0;
    EXPECT_EQ(stream->write(data, 2, &written), kResultOk);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(stream->bytes(), (std::vector<char>{0, 0, 0, 9, 8}));
    EXPECT_EQ(stream->seek(-1, IBStream::kIBSeekEnd, &at), kResultOk);
    EXPECT_EQ(at, 4);
    EXPECT_EQ(stream->seek(-2, IBStream::kIBSeekCur, &at), kResultOk);
    EXPECT_EQ(at, 2);

    // The sizeable-stream view of the same bytes.
    FUnknownPtr<ISizeableStream> sizeable(static_cast<IBStream*>(stream));
    ASSERT_TRUE(sizeable);
    int64 size = 0;
    EXPECT_EQ(sizeable->getStreamSize(size), kResultOk);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(sizeable->setStreamSize(-1), kInvalidArgument);
}

TEST(ParameterChanges, KeepsOneQueuePerIdAndOrdersPointsByOffset) {
    auto changes = owned(new ParameterChanges());
    EXPECT_TRUE(changes->addChange(5, 10, 0.1));
    EXPECT_TRUE(changes->addChange(6, 0, 0.9));
    EXPECT_TRUE(changes->addChange(5, 0, 0.2));
    EXPECT_TRUE(changes->addChange(5, 10, 0.3)); // same offset: after the earlier one
    ASSERT_EQ(changes->getParameterCount(), 2);

    IParamValueQueue* queue = changes->getParameterData(0);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(queue->getParameterId(), 5u);
    ASSERT_EQ(queue->getPointCount(), 3);
    const double expected[] = {0.2, 0.1, 0.3};
    for (int32 i = 0; i < 3; ++i) {
        int32 offset = -1;
        ParamValue value = -1.0;
        ASSERT_EQ(queue->getPoint(i, offset, value), kResultOk);
        EXPECT_EQ(offset, i == 0 ? 0 : 10);
        EXPECT_EQ(value, expected[i]);
    }
    int32 offset = 0;
    ParamValue value = 0.0;
    EXPECT_EQ(queue->getPoint(3, offset, value), kResultFalse);
    EXPECT_EQ(queue->getPoint(-1, offset, value), kResultFalse);
    EXPECT_EQ(changes->getParameterData(2), nullptr);
    EXPECT_EQ(changes->getParameterData(-1), nullptr);
}

TEST(ParameterChanges, ClearReusesQueuesForNewIds) {
    auto changes = owned(new ParameterChanges());
    changes->addChange(1, 0, 0.5);
    IParamValueQueue* first = changes->getParameterData(0);
    changes->clear();
    EXPECT_EQ(changes->getParameterCount(), 0);
    EXPECT_EQ(changes->queueFor(1), nullptr);

    int32 index = -1;
    IParamValueQueue* again = changes->addParameterData(2, index);
    EXPECT_EQ(again, first);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(again->getParameterId(), 2u);
    EXPECT_EQ(again->getPointCount(), 0);
}

TEST(ParameterChanges, UnreadableQueueRefusesEveryPoint) {
    auto changes = owned(new ParameterChanges());
    changes->addChange(3, 0, 0.5);
    changes->queueFor(3)->setUnreadable(true);
    int32 offset = 0;
    ParamValue value = 0.0;
    EXPECT_EQ(changes->getParameterData(0)->getPointCount(), 1);
    EXPECT_EQ(changes->getParameterData(0)->getPoint(0, offset, value), kResultFalse);
}

TEST(ProcessBuffers, DescribesTheLayoutInTheChosenSampleSize) {
    ProcessBuffers buffers(kSample64, 16, {1}, {2, 1});
    ProcessData& data = buffers.prepare(8);
    EXPECT_EQ(data.symbolicSampleSize, kSample64);
    EXPECT_EQ(data.numSamples, 8);
    ASSERT_EQ(data.numInputs, 1);
    ASSERT_EQ(data.numOutputs, 2);
    EXPECT_EQ(data.inputs[0].numChannels, 1);
    EXPECT_EQ(data.outputs[0].numChannels, 2);
    EXPECT_EQ(data.outputs[1].numChannels, 1);
    EXPECT_EQ(data.outputs[0].channelBuffers64[1], buffers.channel64(kOutput, 0, 1));
    EXPECT_NE(data.outputs[0].channelBuffers64[0], data.outputs[0].channelBuffers64[1]);
    EXPECT_EQ(buffers.channel32(kOutput, 0, 0), nullptr); // 64-bit buffers only
    EXPECT_EQ(buffers.channel64(kOutput, 2, 0), nullptr);
    EXPECT_EQ(buffers.channel64(kInput, 0, 1), nullptr);
}

TEST(ProcessBuffers, NullBuffersAndNoBusesForRobustnessTests) {
    ProcessBuffers buffers(kSample32, 4, {2}, {2});
    buffers.setNullChannelArray(kInput, 0);
    buffers.setNullChannel(kOutput, 0, 1);
    ProcessData& data = buffers.prepare(4);
    EXPECT_EQ(data.inputs[0].channelBuffers32, nullptr);
    EXPECT_EQ(data.inputs[0].numChannels, 2);
    EXPECT_NE(data.outputs[0].channelBuffers32[0], nullptr);
    EXPECT_EQ(data.outputs[0].channelBuffers32[1], nullptr);

    buffers.setNullChannelArray(kInput, 0, false);
    buffers.setNullChannel(kOutput, 0, 1, false);
    ProcessData& restored = buffers.prepare(4);
    EXPECT_NE(restored.inputs[0].channelBuffers32, nullptr);
    EXPECT_NE(restored.outputs[0].channelBuffers32[1], nullptr);

    ProcessBuffers none(kSample32, 4, {}, {2});
    EXPECT_EQ(none.prepare(4).numInputs, 0);
    EXPECT_EQ(none.prepare(4).inputs, nullptr);
}

TEST(ProcessBuffers, GrowsForLargerBlocksAndKeepsSamples) {
    ProcessBuffers buffers(kSample32, 2, {2}, {2});
    buffers.channel32(kInput, 0, 0)[1] = 0.5f;
    ProcessData& data = buffers.prepare(1000);
    EXPECT_GE(buffers.capacity(), 1000);
    EXPECT_EQ(data.inputs[0].channelBuffers32[0], buffers.channel32(kInput, 0, 0));
    EXPECT_EQ(data.inputs[0].channelBuffers32[0][1], 0.5f);
    data.inputs[0].channelBuffers32[1][999] = 1.0f; // the whole block is real memory
    buffers.clear();
    EXPECT_EQ(buffers.channel32(kInput, 0, 0)[1], 0.0f);
}

TEST(Module, BinaryPathInsideTheBundle) {
    const std::string tail =
        std::string("/Contents/") + platform::kBundleArchFolder + "/Halvane" + platform::kBinarySuffix;
    EXPECT_EQ(bundleBinaryPath("/x/Halvane.vst3"), "/x/Halvane.vst3" + tail);
    EXPECT_EQ(bundleBinaryPath("/x/Halvane.vst3/"), "/x/Halvane.vst3" + tail);
    EXPECT_EQ(bundleBinaryPath("C:\\x\\Halvane.vst3\\"), "C:\\x\\Halvane.vst3" + tail);
}

TEST(Module, ClassIdPrintsTheSameWordsOnEveryPlatform) {
    // INLINE_UID lays the words out per platform (COM order on Windows); the printed id
    // must not depend on that.
    const TUID tuid = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x56726B73, 0x72737778);
    ClassId cid;
    std::memcpy(cid.data(), tuid, cid.size());
    EXPECT_EQ(classIdString(cid), "F2AEE70D00DE4F4E56726B7372737778");
}

TEST(Module, OpeningNothingFailsWithAReason) {
    std::string error;
    EXPECT_EQ(Module::open("/nonexistent/Nothing.vst3", error), nullptr);
    EXPECT_NE(error.find("Nothing"), std::string::npos);
}
