#include "settings/settings_format.h"

namespace quorvel {

std::vector<std::string> SplitSettingLines(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom) {
        bytes.remove_prefix(kBom.size());
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size()) {
        lines.emplace_back(bytes.substr(start));
    }
    return lines;
}

std::string SplitKeyValue(std::string_view line, std::string_view delimiter, long long index) {
    const std::size_t first = delimiter.empty() ? std::string_view::npos : line.find(delimiter);
    if (index == 1) {
        return std::string(line.substr(0, first));
    }
    if (index != 2 || first == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = line.substr(first + delimiter.size());
    return std::string(rest.substr(0, rest.find(delimiter)));
}

std::string FindSettingValue(std::string_view fileBytes, std::string_view key) {
    std::string value;
    if (key.empty()) {
        return value;
    }
    for (const std::string& line : SplitSettingLines(fileBytes)) {
        if (SplitKeyValue(line, "=", 1) != key) {
            continue;
        }
        const std::size_t eq = line.find('=');
        value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    }
    return value;
}

std::string FormatSettings(std::string_view outputDir, bool showConsole) {
    std::string out;
    out.append(kOutputDirKey).append("=").append(outputDir).append("\r\n");
    out.append(kShowConsoleKey).append("=").append(showConsole ? "1" : "0").append("\r\n");
    return out;
}

}  // namespace quorvel
