#include "settings/integer_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const long long parsed = TextToInteger(bytes);

    // Whatever was parsed prints back to text that parses to the same value.
    const std::string text = IntegerToText(parsed);
    if (TextToInteger(text) != parsed || IntegerToText(TextToInteger(text)) != text) {
        std::abort();
    }

    std::uint64_t raw = 0;
    std::memcpy(&raw, data, size < sizeof(raw) ? size : sizeof(raw));
    long long n = 0;
    std::memcpy(&n, &raw, sizeof(n));
    const std::string nText = IntegerToText(n);
    if (TextToInteger(nText) != n || IntegerToText(TextToInteger(nText)) != nText) {
        std::abort();
    }
    // Leading blanks and a "+" on a non-negative number change nothing.
    if (n >= 0 && TextToInteger(" \t+" + nText + "z") != n) {
        std::abort();
    }
    return 0;
}
