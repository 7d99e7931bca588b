// The window worked with the keyboard alone, with real key presses.
#include <gtest/gtest.h>

#include "driver.h"

namespace {

using qdriver::Quorvel;

// Tab stops in creation order; the two labels are skipped.
const std::vector<int> kTabOrder = {1, 10, 11, 12, 13, 15, 3, 4, 5, 2, 6, 18, 8, 20, 21};

class KeyboardTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(app.Window(), nullptr);
        app.BringToFront();
    }

    // Presses Tab (or Shift+Tab) and waits for the focus to land on `expected`.
    void TabTo(int expected, bool backward = false) {
        app.PressKey(VK_TAB, backward);
        qdriver::WaitFor([&] { return app.FocusedControl() == expected; }, 2000);
        EXPECT_EQ(app.FocusedControl(), expected);
    }

    Quorvel app;
};

TEST_F(KeyboardTest, TabVisitsEveryTabStopInCreationOrderAndWraps) {
    EXPECT_LE(app.FocusedControl(), 0) << "no control has the focus at first";
    for (int control : kTabOrder) {
        TabTo(control);
    }
    TabTo(kTabOrder.front());
    TabTo(kTabOrder[1]);
}

TEST_F(KeyboardTest, ShiftTabGoesBackwardsFromTheLast) {
    for (auto it = kTabOrder.rbegin(); it != kTabOrder.rend(); ++it) {
        TabTo(*it, true);
    }
    TabTo(kTabOrder.back(), true);
}

TEST_F(KeyboardTest, ArrowKeysMoveTheChoiceInsideTheOptionGroup) {
    TabTo(1);
    TabTo(10);
    app.PressKey(VK_SPACE);
    EXPECT_TRUE(qdriver::WaitFor([&] { return app.Checked(10); }, 2000));

    struct Step {
        WORD key;
        int focused;
    };
    const Step steps[] = {{VK_DOWN, 11}, {VK_DOWN, 12}, {VK_DOWN, 10},
                          {VK_UP, 12},   {VK_LEFT, 11}, {VK_RIGHT, 12}};
    for (const Step& step : steps) {
        app.PressKey(step.key);
        qdriver::WaitFor([&] { return app.Checked(step.focused); }, 2000);
        EXPECT_EQ(app.FocusedControl(), step.focused);
        for (int option : {10, 11, 12}) {
            EXPECT_EQ(app.Checked(option), option == step.focused) << "option " << option;
        }
    }
    EXPECT_FALSE(app.Checked(20));
}

TEST_F(KeyboardTest, SpaceBarPressesTheFocusedButtonAndNoOtherKeyDoes) {
    app.AddListEntries({L"a", L"b", L"c"});
    TabTo(21, true);  // TestButton, beyond the visible area
    for (WORD key : {WORD(VK_RETURN), WORD(VK_ESCAPE), WORD('A'), WORD(VK_F1)}) {
        app.PressKey(key);
    }
    Sleep(200);
    app.Sync();
    EXPECT_EQ(app.ListSelection(), LB_ERR);
    app.PressKey(VK_SPACE);
    EXPECT_TRUE(qdriver::WaitFor([&] { return app.ListSelection() == 2; }, 2000));

    // Enter on the default-looking run button presses nothing either.
    app.Send(18, LB_SETCURSEL, static_cast<WPARAM>(-1));
    TabTo(1);
    app.PressKey(VK_RETURN);
    Sleep(200);
    EXPECT_FALSE(app.WaitMessageBox(300)) << "the run button was pressed";
}

TEST_F(KeyboardTest, FocusComesBackAfterAnotherWindowWasActive) {
    TabTo(1);
    TabTo(10);
    TabTo(11);
    TabTo(12);
    TabTo(13);
    TabTo(15);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(qdriver::WaitFor([&] { return GetForegroundWindow() == other; }, 3000));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    app.BringToFront();
    EXPECT_TRUE(qdriver::WaitFor([&] { return app.FocusedControl() == 15; }, 3000));
    DestroyWindow(other);
}

TEST_F(KeyboardTest, AltF4ClosesAndWritesTheSettings) {
    TabTo(1);
    app.PressKey(VK_F4, false, true);
    EXPECT_EQ(app.WaitExit(), 0u);
    EXPECT_EQ(qdriver::ReadBytes(app.SettingsPath()), "OUT_OUTDIR=\r\nCMD_SHOW=0\r\n");
}

}  // namespace
