#include <windows.h>

#include <algorithm>
#include <climits>

#include "platform/navigation.h"
#include "platform/platform_state.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

constexpr wchar_t kWindowClass[] = L"QuorvelMainWindow";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU;

int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Index in creation order of the control that holds (or contains) the window.
int ControlIndexOf(HWND window) {
    const PlatformState& state = State();
    for (HWND w = window; w != nullptr && w != state.mainWindow.Get(); w = GetParent(w)) {
        for (size_t i = 0; i < state.controls.size(); ++i) {
            if (state.controls[i].window == w) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

bool IsTabStop(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

void MoveFocusByTab(bool backward) {
    const PlatformState& state = State();
    std::vector<bool> eligible;
    eligible.reserve(state.controls.size());
    for (const Control& control : state.controls) {
        eligible.push_back(IsTabStop(control.window));
    }
    const int next = NextTabStop(eligible, ControlIndexOf(GetFocus()), backward);
    if (next >= 0) {
        SetFocus(state.controls[next].window);
    }
}

// Arrow keys move the choice inside a run of option buttons, as in a dialog.
bool MoveInOptionGroup(bool backward) {
    const PlatformState& state = State();
    const int current = ControlIndexOf(GetFocus());
    if (current < 0 || state.controls[current].kind != ControlKind::OptionButton) {
        return false;
    }
    int first = current;
    int last = current;
    while (first > 0 && state.controls[first - 1].kind == ControlKind::OptionButton) {
        --first;
    }
    while (last + 1 < static_cast<int>(state.controls.size()) &&
           state.controls[last + 1].kind == ControlKind::OptionButton) {
        ++last;
    }
    const int next = NextInGroup(first, last, current, backward);
    HWND target = state.controls[next].window;
    SetFocus(target);
    SendMessageW(target, BM_CLICK, 0, 0);
    return true;
}

bool HandleNavigationKey(const MSG& message) {
    const PlatformState& state = State();
    if (message.message != WM_KEYDOWN || !state.mainWindow) {
        return false;
    }
    HWND main = state.mainWindow.Get();
    if (message.hwnd != main && !IsChild(main, message.hwnd)) {
        return false;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (control || alt) {
        return false;
    }
    switch (message.wParam) {
        case VK_TAB:
            MoveFocusByTab(GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_LEFT:
        case VK_UP:
            return MoveInOptionGroup(true);
        case VK_RIGHT:
        case VK_DOWN:
            return MoveInOptionGroup(false);
        default:
            return false;
    }
}

}  // namespace

void TranslateAndDispatch(MSG& message) {
    if (!HandleNavigationKey(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Remembered all along: by the time the window hears of its deactivation, the
    // focus may already be gone.
    PlatformState& state = State();
    HWND focus = GetFocus();
    if (focus != nullptr && state.mainWindow && IsChild(state.mainWindow.Get(), focus)) {
        state.focusBeforeDeactivation = focus;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PlatformState& state = State();
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                RaiseControlEvent(LOWORD(wParam));
            }
            return 0;
        case WM_CLOSE: {
            Event event;
            event.kind = EventKind::Close;
            QueueEvent(std::move(event));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (IsChild(window, focus)) {
                    state.focusBeforeDeactivation = focus;
                }
            } else if (state.focusBeforeDeactivation != nullptr &&
                       IsWindow(state.focusBeforeDeactivation)) {
                SetFocus(state.focusBeforeDeactivation);
                return 0;
            }
            break;
        case kWakeMessage:
            state.wakePosted = false;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool OpenMainWindow(long long x, long long y, int clientWidth, int clientHeight,
                    const std::string& title) {
    PlatformState& state = State();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = state.instance;
    windowClass.hIcon = state.icon.Get();
    windowClass.hIconSm = state.icon.Get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0) {
        return false;
    }
    RECT frame = {0, 0, clientWidth, clientHeight};
    if (!AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0)) {
        return false;
    }
    HWND window =
        CreateWindowExW(0, kWindowClass, Widen(title).c_str(), kWindowStyle, ClampToInt(x),
                        ClampToInt(y), frame.right - frame.left, frame.bottom - frame.top, nullptr,
                        nullptr, state.instance, nullptr);
    if (window == nullptr) {
        return false;
    }
    state.mainWindow.Reset(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

}  // namespace quorvel::platform
