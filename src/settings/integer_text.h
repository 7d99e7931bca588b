#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Accepts optional leading blanks/tabs, a sign, then decimal digits, "$" hex
// or "%" binary. Stops at the first non-digit; out-of-range values saturate.
long long TextToInteger(std::string_view text);

std::string IntegerToText(long long value);

}  // namespace quorvel
