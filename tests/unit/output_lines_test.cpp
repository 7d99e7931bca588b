#include "runs/output_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

std::vector<std::string> Lines(const std::string& output, size_t blockSize) {
    std::vector<std::string> lines;
    OutputLines state;
    auto collect = [&](std::string_view line) { lines.emplace_back(line); };
    for (size_t at = 0; at < output.size(); at += blockSize) {
        FeedOutput(state, std::string_view(output).substr(at, blockSize), collect);
    }
    FinishOutput(state, collect);
    return lines;
}

struct LinesCase {
    const char* name;
    std::string output;
    std::vector<std::string> lines;
};

TEST(OutputLines, SplitsLikeTheTranscriptNeeds) {
    const LinesCase cases[] = {
        {"nothing", "", {}},
        {"LF", "L1\nL2\n", {"L1", "L2"}},
        {"CR LF", "L1\r\nL2\r\n", {"L1", "L2"}},
        {"progress redraws", "10%\r20%\r30%\n", {"10%20%30%"}},
        {"empty line", "a\n\nb\n", {"a", "", "b"}},
        {"no final LF", "a\nlast", {"a", "last"}},
        {"lone CR after the last LF", "a\n\r", {"a", ""}},
        {"zero byte cuts the line", std::string("ab\0cd\nef\n", 9), {"ab", "ef"}},
        {"zero byte first", std::string("\0x\n", 3), {""}},
        {"non-ASCII bytes kept", "Bj\xC3\xB6rk\n\xE9t\xE9\n", {"Bj\xC3\xB6rk", "\xE9t\xE9"}},
    };
    for (const LinesCase& c : cases) {
        for (size_t block : {size_t{1}, size_t{2}, size_t{3}, size_t{65536}}) {
            EXPECT_EQ(Lines(c.output, block), c.lines) << c.name << ", blocks of " << block;
        }
    }
}

TEST(OutputLines, HugeLineStaysWhole) {
    const std::string line(20 * 1024 * 1024, 'x');
    const std::vector<std::string> lines = Lines(line + "\r\n", 65536);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), line.size());
}

}  // namespace
}  // namespace quorvel
