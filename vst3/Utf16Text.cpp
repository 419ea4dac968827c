#include "Utf16Text.h"

#include <cstdint>
#include <cstring>

#include "Unicode.h"

namespace halvane {

using Steinberg::char16;
using Steinberg::char8;
using Steinberg::int32;

namespace {

using unicode::NextFromUtf16;
using unicode::NextFromUtf8;

size_t encodeUtf16(char32_t cp, char16* out) {
    std::uint16_t units[2];
    const size_t n = unicode::EncodeUtf16(cp, units);
    for (size_t k = 0; k < n; ++k)
        out[k] = static_cast<char16>(units[k]);
    return n;
}

size_t length16(const char16* text, int32 maxUnits) {
    size_t n = 0;
    while ((maxUnits < 0 || n < static_cast<size_t>(maxUnits)) && text[n] != 0)
        ++n;
    return n;
}

} // namespace

std::string utf16ToUtf8(const char16* text, int32 maxUnits) {
    std::string result;
    if (!text)
        return result;
    const size_t length = length16(text, maxUnits);
    char bytes[4];
    for (size_t i = 0; i < length;)
        result.append(bytes, unicode::EncodeUtf8(NextFromUtf16(text, length, i), bytes));
    return result;
}

String16 utf8ToUtf16(const std::string& text) {
    String16 result;
    char16 units[2];
    for (size_t i = 0; i < text.size();)
        result.append(units, encodeUtf16(NextFromUtf8(text.data(), text.size(), i), units));
    return result;
}

void utf16ToUtf8(const char16* text, char8* dst, int32 dstSize) {
    if (!dst || dstSize <= 0)
        return;
    size_t used = 0;
    const auto room = static_cast<size_t>(dstSize) - 1;
    if (text) {
        const size_t length = length16(text, -1);
        char bytes[4];
        for (size_t i = 0; i < length;) {
            const size_t n = unicode::EncodeUtf8(NextFromUtf16(text, length, i), bytes);
            if (used + n > room)
                break;
            std::memcpy(dst + used, bytes, n);
            used += n;
        }
    }
    dst[used] = 0;
}

void utf8ToUtf16(const char8* text, char16* dst, int32 dstSize) {
    if (!dst || dstSize <= 0)
        return;
    size_t used = 0;
    const auto room = static_cast<size_t>(dstSize) - 1;
    if (text) {
        const size_t length = std::strlen(text);
        char16 units[2];
        for (size_t i = 0; i < length;) {
            const size_t n = encodeUtf16(NextFromUtf8(text, length, i), units);
            if (used + n > room)
                break;
            for (size_t k = 0; k < n; ++k)
                dst[used + k] = units[k];
            used += n;
        }
    }
    dst[used] = 0;
}

} // namespace halvane
