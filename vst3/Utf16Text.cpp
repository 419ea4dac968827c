#include "Utf16Text.h"

#include <cstring>

namespace halvane {

using Steinberg::char16;
using Steinberg::char8;
using Steinberg::int32;

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point from UTF-16 at text[i], advancing i; unpaired surrogates become U+FFFD.
char32_t nextFromUtf16(const char16* text, size_t length, size_t& i) {
    const auto unit = static_cast<char32_t>(static_cast<Steinberg::uint16>(text[i++]));
    if (unit < 0xD800 || unit > 0xDFFF)
        return unit;
    if (unit <= 0xDBFF && i < length) {
        const auto low = static_cast<char32_t>(static_cast<Steinberg::uint16>(text[i]));
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return kReplacement;
}

// Reads one code point from UTF-8 at text[i], advancing i; overlong forms, surrogates and
// broken sequences become U+FFFD (one per bad lead byte).
char32_t nextFromUtf8(const char* text, size_t length, size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        return kReplacement;
    }
    size_t j = i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= length || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80)
            return kReplacement;
        cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    }
    i = j;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacement;
    return cp;
}

// Encodes cp as UTF-8 into out (4 bytes room); returns the byte count.
size_t encodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// Encodes cp as UTF-16 into out (2 units room); returns the unit count.
size_t encodeUtf16(char32_t cp, char16* out) {
    if (cp < 0x10000) {
        out[0] = static_cast<char16>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<char16>(0xD800 + (cp >> 10));
    out[1] = static_cast<char16>(0xDC00 + (cp & 0x3FF));
    return 2;
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
        result.append(bytes, encodeUtf8(nextFromUtf16(text, length, i), bytes));
    return result;
}

String16 utf8ToUtf16(const std::string& text) {
    String16 result;
    char16 units[2];
    for (size_t i = 0; i < text.size();)
        result.append(units, encodeUtf16(nextFromUtf8(text.data(), text.size(), i), units));
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
            const size_t n = encodeUtf8(nextFromUtf16(text, length, i), bytes);
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
            const size_t n = encodeUtf16(nextFromUtf8(text, length, i), units);
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
