#pragma once

// An IBStream over bytes in memory, for component state and presets. Reads past the end
// deliver what is left; whether such a short read reports an error is a choice, because
// hosts differ and plug-ins must cope with both.

#include "base/source/fobject.h"
#include "pluginterfaces/base/ibstream.h"

#include <vector>

namespace halvane::host {

class BufferStream : public Steinberg::FObject,
                     public Steinberg::IBStream,
                     public Steinberg::ISizeableStream {
  public:
    enum class ShortRead {
        Succeeds, // kResultOk with fewer bytes (as the SDK's memory stream does)
        Fails     // kResultFalse with the bytes that were there
    };

    explicit BufferStream(ShortRead shortRead = ShortRead::Succeeds) : shortRead_(shortRead) {}
    explicit BufferStream(std::vector<char> bytes, ShortRead shortRead = ShortRead::Succeeds)
        : bytes_(std::move(bytes)), shortRead_(shortRead) {}

    const std::vector<char>& bytes() const { return bytes_; }
    Steinberg::int64 position() const { return position_; }
    void rewind() { position_ = 0; }

    //--- IBStream (null or negative arguments answer kInvalidArgument)
    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) SMTG_OVERRIDE;
    // Writing past the end fills the gap with zeros.
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) SMTG_OVERRIDE;
    // Any position >= 0, also past the end; a negative target leaves the position alone.
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) SMTG_OVERRIDE;

    //--- ISizeableStream
    Steinberg::tresult PLUGIN_API getStreamSize(Steinberg::int64& size) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API setStreamSize(Steinberg::int64 size) SMTG_OVERRIDE;

    OBJ_METHODS(BufferStream, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::IBStream)
    DEF_INTERFACE(Steinberg::ISizeableStream)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    std::vector<char> bytes_;
    Steinberg::int64 position_ = 0;
    ShortRead shortRead_;
};

} // namespace halvane::host
