// Splits a tool's standard output into lines as it arrives in blocks.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// A line feed ends a line; carriage returns are dropped wherever they stand; a line
// ends at a zero byte (the rest up to the line feed is dropped).
struct OutputLines {
    std::string pending;
    bool hasPending = false;  // bytes arrived since the last line feed
    bool cut = false;         // a zero byte was seen in the pending line
};

void AppendOutputBytes(OutputLines& lines, std::string_view part);

// Calls `onLine` for every line completed by `bytes`.
template <typename OnLine>
void FeedOutput(OutputLines& lines, std::string_view bytes, OnLine&& onLine) {
    while (!bytes.empty()) {
        const size_t feed = bytes.find('\n');
        AppendOutputBytes(lines, bytes.substr(0, feed));
        if (feed == std::string_view::npos) {
            return;
        }
        onLine(std::string_view(lines.pending));
        lines.pending.clear();
        lines.hasPending = false;
        lines.cut = false;
        bytes.remove_prefix(feed + 1);
    }
}

// At the end of the output: a last line without a line feed still counts.
template <typename OnLine>
void FinishOutput(OutputLines& lines, OnLine&& onLine) {
    if (lines.hasPending) {
        onLine(std::string_view(lines.pending));
    }
    lines = OutputLines{};
}

}  // namespace quorvel
