#include "Utf16Text.h"

#include <gtest/gtest.h>

using halvane::String16;
using Steinberg::char16;
using Steinberg::char8;

namespace {

// "Aé€🎛": one, two, three and four UTF-8 bytes; the last is a surrogate pair in UTF-16.
const std::string kMixedUtf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\x9B";
const String16 kMixedUtf16 = {u'A', 0x00E9, 0x20AC, 0xD83C, 0xDF9B};

} // namespace

TEST(Utf16Text, RoundTripsEveryEncodedLength) {
    EXPECT_EQ(halvane::utf8ToUtf16(kMixedUtf8), kMixedUtf16);
    EXPECT_EQ(halvane::utf16ToUtf8(kMixedUtf16.c_str()), kMixedUtf8);
}

TEST(Utf16Text, FixedFieldsCutAtCharacterBoundaries) {
    // 4 bytes of room hold "Aé" (3 bytes) but not the 3-byte euro sign after it.
    char8 narrow[5];
    halvane::utf16ToUtf8(kMixedUtf16.c_str(), narrow, 5);
    EXPECT_STREQ(narrow, "A\xC3\xA9");

    // 4 units of room hold "Aé€" but not half of the surrogate pair.
    char16 wide[5];
    halvane::utf8ToUtf16(kMixedUtf8.c_str(), wide, 5);
    EXPECT_EQ(String16(wide), (String16{u'A', 0x00E9, 0x20AC}));
}

TEST(Utf16Text, MalformedInputBecomesReplacementCharacters) {
    // Lone low surrogate, high surrogate at the end.
    const String16 broken = {0xDC00, u'x', 0xD800};
    EXPECT_EQ(halvane::utf16ToUtf8(broken.c_str()), "\xEF\xBF\xBDx\xEF\xBF\xBD");
    // Stray continuation byte, truncated sequence, overlong "/" and an encoded surrogate.
    EXPECT_EQ(halvane::utf8ToUtf16("\x80"
                                   "a"
                                   "\xE2\x82"
                                   "b"
                                   "\xC0\xAF"
                                   "\xED\xA0\x80"),
              (String16{0xFFFD, u'a', 0xFFFD, 0xFFFD, u'b', 0xFFFD, 0xFFFD}));
}

TEST(Utf16Text, HonoursUnitLimitAndNullArguments) {
    EXPECT_EQ(halvane::utf16ToUtf8(kMixedUtf16.c_str(), 2), "A\xC3\xA9");
    EXPECT_EQ(halvane::utf16ToUtf8(nullptr), "");

    char8 narrow[4] = {'x', 'x', 'x', 0};
    halvane::utf16ToUtf8(nullptr, narrow, 4);
    EXPECT_STREQ(narrow, "");
    halvane::utf16ToUtf8(kMixedUtf16.c_str(), narrow, 0); // no room: untouched
    EXPECT_STREQ(narrow, "");
}
