#include "settings/integer_text.h"

#include <cstdint>
#include <limits>

namespace quorvel {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

}  // namespace

long long TextToInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == '%')) {
        base = text[i] == '$' ? 16 : 2;
        ++i;
    }
    // Magnitude is capped one past INT64_MAX so that INT64_MIN stays reachable.
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0);
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= static_cast<int>(base)) {
            break;
        }
        if (magnitude > (limit - static_cast<std::uint64_t>(digit)) / base) {
            magnitude = limit;
        } else {
            magnitude = magnitude * base + static_cast<std::uint64_t>(digit);
        }
    }
    if (!negative) {
        return static_cast<long long>(magnitude);
    }
    if (magnitude == limit) {
        return std::numeric_limits<long long>::min();
    }
    return -static_cast<long long>(magnitude);
}

std::string IntegerToText(long long value) {
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char buffer[24];
    char* end = buffer + sizeof(buffer);
    char* p = end;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *--p = '-';
    }
    return std::string(p, end);
}

}  // namespace quorvel
