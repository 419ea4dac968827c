#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

// A growable byte buffer. Values are appended in the machine's native byte order (little-endian on
// every target we build); reads return the position after the value, or -1 when the data runs short.
class StateChunk {
  public:
    template <typename T> void Put(const T& value) {
        static_assert(std::is_trivially_copyable<T>::value, "only plain values go into a chunk");
        PutBytes(&value, sizeof(T));
    }

    template <typename T> int Get(T* value, int position) const {
        static_assert(std::is_trivially_copyable<T>::value, "only plain values come out of a chunk");
        if (!Fits(position, sizeof(T)))
            return -1;
        std::memcpy(value, bytes_.data() + position, sizeof(T));
        return position + static_cast<int>(sizeof(T));
    }

    // Strings: a 32-bit length, then the bytes without terminator.
    void PutStr(const char* text);
    int GetStr(std::string* text, int position) const;

    void PutBytes(const void* data, size_t size);
    void PutChunk(const StateChunk& other) { PutBytes(other.Data(), other.Size()); }

    const uint8_t* Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }
    bool Empty() const { return bytes_.empty(); }
    void Clear() { bytes_.clear(); }

  private:
    bool Fits(int position, size_t size) const {
        return position >= 0 && static_cast<size_t>(position) <= bytes_.size() &&
               bytes_.size() - static_cast<size_t>(position) >= size;
    }

    std::vector<uint8_t> bytes_;
};
