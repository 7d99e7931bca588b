#include "platform/wide.h"

#include "platform/unicode.h"

namespace quorvel::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

std::wstring Widen(std::string_view utf8) {
    const std::u16string u16 = Utf8ToUtf16(utf8);
    return {u16.begin(), u16.end()};
}

std::string Narrow(std::wstring_view wide) {
    const std::u16string u16(wide.begin(), wide.end());
    return Utf16ToUtf8(u16);
}

}  // namespace quorvel::platform
