// UTF-8 <-> the system's wide strings, through the one converter in unicode.h.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace quorvel::platform
