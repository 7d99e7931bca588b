#include "app/layout.h"
#include "platform/navigation.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel {
namespace {

TEST(CenteredOrigin, Values) {
    struct Case {
        long long width, height, x, y;
    };
    const std::vector<Case> cases = {
        {1920, 1080, 605, 315}, {710, 450, 0, 0}, {711, 451, 0, 0},   {712, 452, 1, 1},
        {699, 440, -5, -5},     {709, 449, 0, 0}, {0, 0, -355, -225}, {1024, 768, 157, 159},
    };
    for (const Case& c : cases) {
        const WindowOrigin o = CenteredOrigin(c.width, c.height);
        EXPECT_EQ(o.x, c.x) << c.width << 'x' << c.height;
        EXPECT_EQ(o.y, c.y) << c.width << 'x' << c.height;
    }
}

TEST(NextTabStop, Walks) {
    struct Case {
        std::vector<bool> eligible;
        int current;
        bool backward;
        int expected;
    };
    const std::vector<bool> mixed = {false, true, false, true, true, false};
    const std::vector<Case> cases = {
        {mixed, -1, false, 1},
        {mixed, -1, true, 4},
        {mixed, 1, false, 3},
        {mixed, 3, false, 4},
        {mixed, 4, false, 1},
        {mixed, 1, true, 4},
        {mixed, 4, true, 3},
        {mixed, 2, false, 3},
        {mixed, 2, true, 1},
        {mixed, 5, false, 1},
        {{false, false, true}, 2, false, 2},
        {{false, false, true}, 2, true, 2},
        {{false, false, true}, 0, true, 2},
        {{false, false}, -1, false, -1},
        {{false, false}, 0, true, -1},
        {{}, -1, false, -1},
        {{true}, -1, true, 0},
        {{true, false, true}, -1, true, 2},
        {{true, false, true}, -1, false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextTabStop(c.eligible, c.current, c.backward), c.expected)
            << "current " << c.current << (c.backward ? " backward" : " forward");
    }
}

TEST(NextInGroup, Wraps) {
    struct Case {
        int first, last, current;
        bool backward;
        int expected;
    };
    const std::vector<Case> cases = {
        {4, 6, 4, false, 5}, {4, 6, 5, false, 6}, {4, 6, 6, false, 4}, {4, 6, 6, true, 5},
        {4, 6, 4, true, 6},  {3, 3, 3, false, 3}, {3, 3, 3, true, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextInGroup(c.first, c.last, c.current, c.backward), c.expected)
            << c.first << ".." << c.last << " from " << c.current;
    }
}

}  // namespace
}  // namespace quorvel
