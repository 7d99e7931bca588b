#include "settings/settings_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (const std::string& line : SplitSettingLines(bytes)) {
        if (line.find_first_of("\r\n") != std::string::npos) {
            std::abort();
        }
    }
    const std::string dir = FindSettingValue(bytes, kOutputDirKey);
    const std::string show = FindSettingValue(bytes, kShowConsoleKey);
    if (dir.find_first_of("\r\n") != std::string::npos || dir.size() + show.size() > size) {
        std::abort();
    }

    // A value we wrote ourselves must read back unchanged, whatever else the
    // file held before it.
    const bool tick = size > 0 && (data[0] & 1) != 0;
    std::string value(bytes.substr(size > 0 ? 1 : 0));
    for (char& c : value) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const std::string written = FormatSettings(value, tick);
    if (FindSettingValue(written, kOutputDirKey) != value ||
        FindSettingValue(written, kShowConsoleKey) != (tick ? "1" : "0")) {
        std::abort();
    }
    const std::string appended = std::string(bytes) + "\n" + written;
    if (FindSettingValue(appended, kOutputDirKey) != value ||
        FindSettingValue(appended, kShowConsoleKey) != (tick ? "1" : "0")) {
        std::abort();
    }
    return 0;
}
