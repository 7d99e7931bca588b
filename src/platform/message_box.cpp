#include <windows.h>

#include "platform/platform_state.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

struct ModalScope {
    HWND foreground;
    std::vector<HWND> disabled;
    std::vector<HWND> unpinned;
};

BOOL CALLBACK DisableOtherWindow(HWND window, LPARAM context) {
    auto* scope = reinterpret_cast<ModalScope*>(context);
    if (window == scope->foreground || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        scope->disabled.push_back(window);
    }
    if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        scope->unpinned.push_back(window);
    }
    return TRUE;
}

}  // namespace

void ShowMessageBox(const std::string& title, const std::string& text) {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        GetWindowThreadProcessId(foreground, &process);
    }
    HWND owner = process == GetCurrentProcessId() ? foreground : nullptr;

    ModalScope scope{owner, {}, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&scope));
    MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), MB_OK);
    for (HWND window : scope.disabled) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
    for (HWND window : scope.unpinned) {
        if (IsWindow(window)) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

}  // namespace quorvel::platform
