#include "BufferStream.h"

#include <cstring>
#include <limits>

using namespace Steinberg;

namespace halvane::host {

tresult PLUGIN_API BufferStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
    if (numBytesRead)
        *numBytesRead = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    const int64 size = static_cast<int64>(bytes_.size());
    const int64 available = position_ < size ? size - position_ : 0;
    const auto count = static_cast<int32>(available < numBytes ? available : numBytes);
    if (count > 0) {
        std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(count));
        position_ += count;
    }
    if (numBytesRead)
        *numBytesRead = count;
    return count < numBytes && shortRead_ == ShortRead::Fails ? kResultFalse : kResultOk;
}

tresult PLUGIN_API BufferStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
    if (numBytesWritten)
        *numBytesWritten = 0;
    if (numBytes < 0 || (numBytes > 0 && !buffer))
        return kInvalidArgument;
    if (position_ > std::numeric_limits<int64>::max() - numBytes)
        return kInvalidArgument;
    const int64 end = position_ + numBytes;
    try {
        if (end > static_cast<int64>(bytes_.size()))
            bytes_.resize(static_cast<size_t>(end));
    } catch (...) {
        return kOutOfMemory;
    }
    if (numBytes > 0)
        std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(numBytes));
    position_ = end;
    if (numBytesWritten)
        *numBytesWritten = numBytes;
    return kResultOk;
}

tresult PLUGIN_API BufferStream::seek(int64 pos, int32 mode, int64* result) {
    int64 base = 0;
    switch (mode) {
    case kIBSeekSet:
        base = 0;
        break;
    case kIBSeekCur:
        base = position_;
        break;
    case kIBSeekEnd:
        base = static_cast<int64>(bytes_.size());
        break;
    default:
        return kInvalidArgument;
    }
    if ((pos > 0 && base > std::numeric_limits<int64>::max() - pos) || base + pos < 0)
        return kInvalidArgument;
    position_ = base + pos;
    if (result)
        *result = position_;
    return kResultOk;
}

tresult PLUGIN_API BufferStream::tell(int64* pos) {
    if (!pos)
        return kInvalidArgument;
    *pos = position_;
    return kResultOk;
}

tresult PLUGIN_API BufferStream::getStreamSize(int64& size) {
    size = static_cast<int64>(bytes_.size());
    return kResultOk;
}

tresult PLUGIN_API BufferStream::setStreamSize(int64 size) {
    if (size < 0)
        return kInvalidArgument;
    try {
        bytes_.resize(static_cast<size_t>(size));
    } catch (...) {
        return kOutOfMemory;
    }
    return kResultOk;
}

} // namespace halvane::host
