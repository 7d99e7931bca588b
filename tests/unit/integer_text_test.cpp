#include "settings/integer_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace quorvel {
namespace {

constexpr long long kMax = std::numeric_limits<long long>::max();
constexpr long long kMin = std::numeric_limits<long long>::min();

TEST(TextToInteger, Values) {
    struct Case {
        std::string text;
        long long expected;
    };
    const std::vector<Case> cases = {
        {"1", 1},
        {"2", 2},
        {"-1", -1},
        {"1x", 1},
        {" 1", 1},
        {"\t1", 1},
        {" \t 7", 7},
        {"$1", 1},
        {"%1", 1},
        {"0", 0},
        {"", 0},
        {"x", 0},
        {"$0", 0},
        {"+0", 0},
        {"%2", 0},
        {"$", 0},
        {"-", 0},
        {"+-1", 0},
        {"\n1", 0},
        {"- 1", 0},
        {"$ff", 255},
        {"$FF", 255},
        {"$fG", 15},
        {"%101", 5},
        {"%1012", 5},
        {"-$10", -16},
        {"-%11", -3},
        {"  +42abc", 42},
        {"007", 7},
        {"12 34", 12},
        {"9223372036854775807", kMax},
        {"-9223372036854775807", kMin + 1},
        {"-9223372036854775808", kMin},
        {"9223372036854775808", kMax},
        {"-9223372036854775809", kMin},
        {"99999999999999999999999", kMax},
        {"$7FFFFFFFFFFFFFFF", kMax},
        {"$FFFFFFFFFFFFFFFFFF", kMax},
        {"-$8000000000000000", kMin},
        {"-$FFFFFFFFFFFFFFFFFF", kMin},
        {"%" + std::string(70, '1'), kMax},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextToInteger(c.text), c.expected) << testing::PrintToString(c.text);
    }
}

TEST(IntegerToText, Values) {
    struct Case {
        long long value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, "0"},
        {1, "1"},
        {-1, "-1"},
        {10, "10"},
        {-1000000, "-1000000"},
        {kMax, "9223372036854775807"},
        {kMin, "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntegerToText(c.value), c.expected);
        EXPECT_EQ(TextToInteger(c.expected), c.value);
    }
}

}  // namespace
}  // namespace quorvel
