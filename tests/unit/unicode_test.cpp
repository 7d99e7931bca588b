#include "platform/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

std::u16string Units(std::initializer_list<char16_t> units) {
    return std::u16string(units);
}

TEST(Unicode, ConvertsBothWays) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    };
    const std::vector<Case> cases = {
        {"", u""},
        {"plain ASCII 123", u"plain ASCII 123"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"Bj\xC3\xB6rk \xE2\x80\x93 J\xC3\xB3ga.wav", u"Bj\u00F6rk \u2013 J\u00F3ga.wav"},
        {"\xE9\x9F\xB3\xE6\xA5\xBD.flac", u"\u97F3\u697D.flac"},
        {"\xF0\x9F\x98\x80", Units({0xD83D, 0xDE00})},
        {"\xF4\x8F\xBF\xBF", Units({0xDBFF, 0xDFFF})},
        {"\xEF\xBF\xBF", Units({0xFFFF})},
        {"\xED\xA0\x80", Units({0xD800})},
        {"\xED\xAF\xBF", Units({0xDBFF})},
        {"\xED\xB0\x80", Units({0xDC00})},
        {"\xED\xBF\xBF", Units({0xDFFF})},
        {"a\xED\xA0\xBD", Units({'a', 0xD83D})},
        {"\xED\xB8\x80\xED\xA0\xBD", Units({0xDE00, 0xD83D})},
        {"\xED\xA0\xBDx\xED\xB8\x80", Units({0xD83D, 'x', 0xDE00})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << testing::PrintToString(c.utf8);
    }
}

TEST(Unicode, EveryShortUtf16StringRoundTrips) {
    const std::u16string interesting =
        Units({0x0000, 0x0041, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xD800, 0xDBFF, 0xDC00,
               0xDFFF, 0xE000, 0xFFFD, 0xFFFF});
    for (char16_t a : interesting) {
        for (char16_t b : interesting) {
            for (char16_t c : interesting) {
                const std::u16string s = {a, b, c};
                ASSERT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s)
                    << std::hex << int(a) << ' ' << int(b) << ' ' << int(c);
            }
        }
    }
}

TEST(Unicode, InvalidUtf8BecomesReplacement) {
    constexpr char16_t R = 0xFFFD;
    struct Case {
        std::string utf8;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"\x80", Units({R})},
        {"\xBF\x80", Units({R, R})},
        {"\xC0\xAF", Units({R, R})},
        {"\xC1\xBF", Units({R, R})},
        {"\xE0\x80\xAF", Units({R, R, R})},
        {"\xF0\x80\x80\x80", Units({R, R, R, R})},
        {"\xF4\x90\x80\x80", Units({R, R, R, R})},
        {"\xF5\x80", Units({R, R})},
        {"\xFE\xFF", Units({R, R})},
        {"\xC3", Units({R})},
        {"a\xC3", Units({'a', R})},
        {"\xE2\x82", Units({R})},
        {"\xE2\x82"
         "A",
         Units({R, 'A'})},
        {"\xF0\x9F\x98", Units({R})},
        {"\xF0\x9F\x98\xF0\x9F\x98\x80", Units({R, 0xD83D, 0xDE00})},
        {"\xED\xA0", Units({R})},
        {"a\xF1\x80\x80\xE1\x80\xC2"
         "b\x80"
         "c\x80\xBF"
         "d",
         Units({'a', R, R, R, 'b', R, 'c', R, R, 'd'})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.expected) << testing::PrintToString(c.utf8);
    }
}

TEST(Unicode, IsValidUtf8) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"", true},
        {std::string(1, '\0'), true},
        {"Bj\xC3\xB6rk \xE2\x80\x93 J\xC3\xB3ga.wav", true},
        {"\xC2\x80", true},
        {"\xDF\xBF", true},
        {"\xE0\xA0\x80", true},
        {"\xED\x9F\xBF", true},
        {"\xEE\x80\x80", true},
        {"\xEF\xBF\xBF", true},
        {"\xF0\x90\x80\x80", true},
        {"\xF4\x8F\xBF\xBF", true},
        {"\x80", false},
        {"\xC0\x80", false},
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},
        {"\xED\xA0\x80", false},
        {"\xED\xBF\xBF", false},
        {"\xED\xA0\xBD\xED\xB8\x80", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"ok\xC3", false},
        {"\xE2\x82", false},
        {"\xF0\x9F\x98", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
    }
}

}  // namespace
}  // namespace quorvel
