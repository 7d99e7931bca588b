// The tool's parameter string.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Quotes one argument so that Windows programs split it back exactly (the rules of
// CommandLineToArgvW and the C runtime). Arguments that need no quoting are kept.
std::string QuoteArgument(std::string_view argument);

// "separate -p spleeter:<preset> -o <output folder> <audio file>".
std::string ComposeToolParameters(std::string_view preset, std::string_view outputDir,
                                  std::string_view audioFile);

}  // namespace quorvel
