#pragma once

namespace quorvel {

constexpr int kClientWidth = 710;
constexpr int kClientHeight = 450;

struct WindowOrigin {
    long long x;
    long long y;
};

// Not clamped: a display smaller than the window gives a negative origin.
WindowOrigin CenteredOrigin(long long displayWidth, long long displayHeight);

}  // namespace quorvel
