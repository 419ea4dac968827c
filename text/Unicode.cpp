#include "Unicode.h"

#include <cstring>

namespace halvane::unicode {

namespace {

bool Encodable(char32_t cp) {
    return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

} // namespace

char32_t NextFromUtf8(const char* text, std::size_t length, std::size_t& i) {
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
    std::size_t j = i;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= length || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80)
            return kReplacement;
        cp = (cp << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    }
    i = j;
    if (cp < minimum || !Encodable(cp))
        return kReplacement;
    return cp;
}

std::size_t EncodeUtf8(char32_t cp, char* out) {
    if (!Encodable(cp))
        cp = kReplacement;
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

std::size_t EncodeUtf16(char32_t cp, std::uint16_t* out) {
    if (!Encodable(cp))
        cp = kReplacement;
    if (cp < 0x10000) {
        out[0] = static_cast<std::uint16_t>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<std::uint16_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

std::u32string DecodeUtf8(const char* text) {
    std::u32string out;
    if (!text)
        return out;
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length;)
        out.push_back(NextFromUtf8(text, length, i));
    return out;
}

} // namespace halvane::unicode
