#include "runs/output_lines.h"

namespace quorvel {

void AppendOutputBytes(OutputLines& lines, std::string_view part) {
    if (part.empty()) {
        return;
    }
    lines.hasPending = true;
    if (lines.cut) {
        return;
    }
    const size_t zero = part.find('\0');
    if (zero != std::string_view::npos) {
        lines.cut = true;
        part = part.substr(0, zero);
    }
    while (!part.empty()) {
        const size_t carriageReturn = part.find('\r');
        lines.pending.append(part.substr(0, carriageReturn));
        if (carriageReturn == std::string_view::npos) {
            return;
        }
        part.remove_prefix(carriageReturn + 1);
    }
}

}  // namespace quorvel
