#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "platform/platform_state.h"

namespace quorvel::platform {

PlatformState& State() {
    static PlatformState state;
    return state;
}

void StartPlatform() {
    PlatformState& state = State();
    state.instance = GetModuleHandleW(nullptr);
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // creates the queue

    state.icon.Reset(static_cast<HICON>(
        LoadImageW(state.instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        state.ownFont.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    }
    state.font =
        state.ownFont ? state.ownFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    INITCOMMONCONTROLSEX common = {};
    common.dwSize = sizeof(common);
    common.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&common);

    state.oleStarted = SUCCEEDED(OleInitialize(nullptr));
    state.comStarted = SUCCEEDED(CoInitialize(nullptr));
}

void AcceptFileDrops(int control) {
    PlatformState& state = State();
    const Control* found = FindControl(control);
    if (found == nullptr || !state.oleStarted) {
        return;
    }
    IDropTarget* target = NewFileDropTarget(control);
    if (SUCCEEDED(RegisterDragDrop(found->window, target))) {
        state.dropTargets.emplace_back(found->window, target);
    } else {
        target->Release();
    }
}

void ShutdownPlatform() {
    PlatformState& state = State();
    for (auto& [window, target] : state.dropTargets) {
        RevokeDragDrop(window);
        target->Release();
    }
    state.dropTargets.clear();
    if (state.comStarted) {
        CoUninitialize();
    }
    if (state.oleStarted) {
        OleUninitialize();
    }
    state.controls.clear();
    state.mainWindow.Reset();
    state.richEditLibraries.clear();
    state.ownFont.Reset();
    state.icon.Reset();
}

DisplaySize Display(size_t index) {
    std::vector<DisplaySize> displays;
    for (DWORD device = 0;; ++device) {
        DISPLAY_DEVICEW info = {};
        info.cb = sizeof(info);
        if (!EnumDisplayDevicesW(nullptr, device, &info, 0)) {
            break;
        }
        if ((info.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
            continue;
        }
        DEVMODEW mode = {};
        mode.dmSize = sizeof(mode);
        if (!EnumDisplaySettingsW(info.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) {
            continue;
        }
        const DisplaySize size = {mode.dmPelsWidth, mode.dmPelsHeight};
        if ((info.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0) {
            displays.insert(displays.begin(), size);
        } else {
            displays.push_back(size);
        }
    }
    if (displays.empty()) {
        displays.push_back({GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    }
    return index < displays.size() ? displays[index] : DisplaySize{0, 0};
}

void ShowWaitCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}
void ShowArrowCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace quorvel::platform
