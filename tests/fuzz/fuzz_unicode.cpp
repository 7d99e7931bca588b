#include "platform/unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::u16string decoded = Utf8ToUtf16(bytes);
    if (decoded.size() > size) {
        std::abort();
    }
    if (IsValidUtf8(bytes) && Utf16ToUtf8(decoded) != bytes) {
        std::abort();
    }
    // Whatever came out of decoding is well-formed apart from lone surrogates,
    // so re-encoding it must be stable.
    const std::string reencoded = Utf16ToUtf8(decoded);
    if (Utf8ToUtf16(reencoded) != decoded) {
        std::abort();
    }

    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    const std::string utf8 = Utf16ToUtf8(units);
    if (Utf8ToUtf16(utf8) != units) {
        std::abort();
    }
    bool lone = false;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            lone = true;
        }
    }
    if (IsValidUtf8(utf8) == lone) {
        std::abort();
    }
    return 0;
}
