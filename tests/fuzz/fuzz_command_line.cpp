// Any argument, quoted, comes back whole when a Windows program splits its command line;
// output split in any block sizes gives the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "../unit/command_line_split.h"
#include "runs/command_line.h"
#include "runs/output_lines.h"

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string argument = input.substr(0, input.find('\0'));
    const std::vector<std::string> split =
        SplitCommandLineArguments("tool " + QuoteArgument(argument));
    if (split.size() != 2 || split[1] != argument) {
        std::abort();
    }

    std::vector<std::string> whole;
    std::vector<std::string> pieces;
    OutputLines a;
    OutputLines b;
    FeedOutput(a, input, [&](std::string_view line) { whole.emplace_back(line); });
    FinishOutput(a, [&](std::string_view line) { whole.emplace_back(line); });
    const size_t block = size > 0 ? data[0] % 7 + 1 : 1;
    for (size_t at = 0; at < size; at += block) {
        FeedOutput(b, std::string_view(input).substr(at, block),
                   [&](std::string_view line) { pieces.emplace_back(line); });
    }
    FinishOutput(b, [&](std::string_view line) { pieces.emplace_back(line); });
    if (whole != pieces) {
        std::abort();
    }
    for (const std::string& line : whole) {
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
