#include "runs/command_line.h"

namespace quorvel {

std::string QuoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only when a quote follows them.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string ComposeToolParameters(std::string_view preset, std::string_view outputDir,
                                  std::string_view audioFile) {
    return "separate -p spleeter:" + std::string(preset) + " -o " + QuoteArgument(outputDir) + " " +
           QuoteArgument(audioFile);
}

}  // namespace quorvel
