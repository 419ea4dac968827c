#pragma once

// UTF-8 <-> UTF-16 for the texts that cross the VST 3 boundary (names, titles, units), on the
// project's one codec (Unicode.h), malformed input becoming U+FFFD. Both directions cut at a
// character boundary when the destination is full and always zero-terminate a non-empty destination.

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace halvane {

// char16 is wchar_t under mingw and char16_t elsewhere.
using String16 = std::basic_string<Steinberg::char16>;

// maxUnits < 0: up to the terminating zero; otherwise at most that many code units.
std::string utf16ToUtf8(const Steinberg::char16* text, Steinberg::int32 maxUnits = -1);
String16 utf8ToUtf16(const std::string& text);

// Fixed-size fields (String128, PClassInfoW names, ...); dstSize counts elements. Null or
// empty destinations are left alone; a null source writes an empty text.
void utf16ToUtf8(const Steinberg::char16* text, Steinberg::char8* dst, Steinberg::int32 dstSize);
void utf8ToUtf16(const Steinberg::char8* text, Steinberg::char16* dst, Steinberg::int32 dstSize);

} // namespace halvane
