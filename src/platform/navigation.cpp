#include "platform/navigation.h"

#include <cstddef>

namespace quorvel {

int NextTabStop(const std::vector<bool>& eligible, int current, bool backward) {
    const long long count = static_cast<long long>(eligible.size());
    if (count == 0) {
        return -1;
    }
    // With no focus, start just outside the end we walk in from.
    long long start = current;
    if (current < 0 || current >= count) {
        start = backward ? count : -1;
    }
    for (long long step = 1; step <= count; ++step) {
        long long index = (start + (backward ? -step : step)) % count;
        if (index < 0) {
            index += count;
        }
        if (eligible[static_cast<std::size_t>(index)]) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

int NextInGroup(int first, int last, int current, bool backward) {
    if (first > last) {
        return -1;
    }
    if (current < first || current > last) {
        return backward ? last : first;
    }
    if (backward) {
        return current == first ? last : current - 1;
    }
    return current == last ? first : current + 1;
}

}  // namespace quorvel
