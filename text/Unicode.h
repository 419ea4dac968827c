#pragma once

// The one UTF-8 and UTF-16 codec of the project, for texts crossing the VST 3 boundary and texts the
// drawing layer draws. One rule for bad input everywhere: a byte or unit that does not begin a
// well-formed character (broken or truncated sequences, overlong forms, surrogates in UTF-8, code
// points beyond U+10FFFF, unpaired surrogates in UTF-16) becomes one U+FFFD, and decoding goes on
// with the next byte or unit.

#include <cstddef>
#include <cstdint>
#include <string>

namespace halvane::unicode {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point from UTF-8 at text[i] (i < length), advancing i.
char32_t NextFromUtf8(const char* text, std::size_t length, std::size_t& i);

// Reads one code point from UTF-16 at text[i] (i < length), advancing i. `Unit` is any 16-bit code
// unit type (char16_t, or wchar_t on Windows).
template <typename Unit> char32_t NextFromUtf16(const Unit* text, std::size_t length, std::size_t& i) {
    const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(text[i++]));
    if (unit < 0xD800 || unit > 0xDFFF)
        return unit;
    if (unit <= 0xDBFF && i < length) {
        const auto low = static_cast<char32_t>(static_cast<std::uint16_t>(text[i]));
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return kReplacement;
}

// Encodes cp into out (room for 4 bytes) and returns the byte count; cp beyond U+10FFFF or a
// surrogate is encoded as U+FFFD.
std::size_t EncodeUtf8(char32_t cp, char* out);

// Encodes cp into out (room for 2 units) and returns the unit count; cp beyond U+10FFFF or a
// surrogate is encoded as U+FFFD.
std::size_t EncodeUtf16(char32_t cp, std::uint16_t* out);

// A zero-terminated UTF-8 text as code points; null gives an empty text.
std::u32string DecodeUtf8(const char* text);

} // namespace halvane::unicode
