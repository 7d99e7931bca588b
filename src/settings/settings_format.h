#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Plain arrays so they join std::string with + and still convert to string_view.
inline constexpr char kOutputDirKey[] = "OUT_OUTDIR";
inline constexpr char kShowConsoleKey[] = "CMD_SHOW";
inline constexpr char kSettingsFileName[] = "quorvel.cfg";

// Splits on CR LF, LF or CR; a leading UTF-8 byte-order mark is dropped.
std::vector<std::string> SplitSettingLines(std::string_view bytes);

// Field 1 is the text before the first delimiter, field 2 the text up to the
// second one (or the end). Every other index yields empty text.
std::string SplitKeyValue(std::string_view line, std::string_view delimiter, long long index);

// Value of the last line whose key equals `key`; everything after the first
// "=" is the value, so paths containing "=" survive.
std::string FindSettingValue(std::string_view fileBytes, std::string_view key);

std::string FormatSettings(std::string_view outputDir, bool showConsole);

}  // namespace quorvel
