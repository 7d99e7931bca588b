#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Lone surrogates travel as their 3-byte generalized UTF-8 form, so every
// UTF-16 string (including odd Windows file names) survives a round trip.
// Malformed input becomes U+FFFD, one per maximal invalid subpart.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Strict UTF-8: no surrogates, no overlong forms, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

}  // namespace quorvel
