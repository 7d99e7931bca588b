// Keyboard focus movement among the main window's controls; no Windows header.
#pragma once

#include <vector>

namespace quorvel {

// `eligible[i]` tells whether control i (creation order) can take the focus
// by Tab. `current` is -1 when nothing has the focus. Returns -1 when no
// control is eligible.
int NextTabStop(const std::vector<bool>& eligible, int current, bool backward);

// Arrow-key movement among option buttons first..last, wrapping.
int NextInGroup(int first, int last, int current, bool backward);

}  // namespace quorvel
