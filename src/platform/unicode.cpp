#include "platform/unicode.h"

#include <cstdint>

namespace quorvel {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Decoded {
    std::uint32_t codePoint;  // meaningful only when valid
    std::size_t length;       // bytes consumed, at least 1
    bool valid;
};

// Decodes one sequence at the start of `s`. With allowSurrogates the 3-byte
// forms ED A0..BF xx are accepted and yield U+D800..U+DFFF.
Decoded DecodeOne(std::string_view s, bool allowSurrogates) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t need = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    std::uint32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) {
            lo = 0xA0;
        } else if (lead == 0xED && !allowSurrogates) {
            hi = 0x9F;
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) {
            lo = 0x90;
        } else if (lead == 0xF4) {
            hi = 0x8F;
        }
    } else {
        return {0, 1, false};
    }
    std::size_t i = 1;
    for (; i <= need; ++i) {
        if (i >= s.size() || byte(i) < lo || byte(i) > hi) {
            return {0, i, false};
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return {cp, i, true};
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Decoded d = DecodeOne(utf8, true);
        utf8.remove_prefix(d.length);
        if (!d.valid) {
            out.push_back(kReplacement);
        } else if (d.codePoint < 0x10000) {
            out.push_back(static_cast<char16_t>(d.codePoint));
        } else {
            const std::uint32_t v = d.codePoint - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 | (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 | (v & 0x3FF)));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (IsHighSurrogate(u) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            const std::uint32_t cp = 0x10000 + ((static_cast<std::uint32_t>(u) - 0xD800) << 10) +
                                     (static_cast<std::uint32_t>(utf16[i + 1]) - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        const Decoded d = DecodeOne(bytes, false);
        if (!d.valid) {
            return false;
        }
        bytes.remove_prefix(d.length);
    }
    return true;
}

}  // namespace quorvel
