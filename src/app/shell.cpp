#include "app/shell.h"

#include "app/controls.h"
#include "app/layout.h"
#include "platform/gui.h"
#include "runs/environment.h"
#include "runs/run.h"
#include "selection/file_list.h"
#include "selection/output_dir.h"
#include "settings/integer_text.h"
#include "settings/settings.h"
#include "settings/settings_format.h"

namespace quorvel {

ShellState Shell;

namespace {
constexpr char kWindowTitle[] = "Quorvel ~ V2.00 ~ (c) 2026 The Quorvel Makers";
}  // namespace

void ShowMessage(const std::string& title, const std::string& text) {
    platform::ShowMessageBox(title, text);
}

void DrainEvents() {
    while (platform::PollEvent() != platform::EventKind::None) {
    }
}

namespace {

void OnTestButton() {
    Shell.LoopCounter = platform::ListCount(FileList);
    for (Shell.LoopIndex = 0; Shell.LoopIndex < Shell.LoopCounter; ++Shell.LoopIndex) {
        platform::SetState(FileList, Shell.LoopIndex);
    }
}

struct DispatchEntry {
    int control;
    void (*handler)();
};

constexpr DispatchEntry kDispatch[] = {
    {RunButton, OnRun},
    {AddFilesButton, OnAddFiles},
    {RemoveFileButton, OnRemoveFile},
    {ClearListButton, OnClearList},
    {OutdirBrowseButton, OnBrowseOutputDir},
    {EnvButton, OnEnvironment},
    {TestButton, OnTestButton},
};

void DispatchControlEvent(int control) {
    for (const DispatchEntry& entry : kDispatch) {
        if (entry.control == control) {
            entry.handler();
            return;
        }
    }
}

void RunEventLoop() {
    for (;;) {
        switch (platform::WaitEvent()) {
            case platform::EventKind::Close:
                WriteSettings(Shell.SettingsDir);
                return;
            case platform::EventKind::Control:
                DispatchControlEvent(platform::EventControl());
                break;
            case platform::EventKind::Drop:
                OnDrop();
                break;
            default:
                break;
        }
    }
}

}  // namespace

int RunQuorvel() {
    platform::StartPlatform();
    Shell.WindowTitle = kWindowTitle;
    Shell.SettingsDir = SettingsDirectory();
    Shell.OutputDir = ReadSetting(kOutputDirKey, Shell.SettingsDir);
    Shell.CmdShowText = ReadSetting(kShowConsoleKey, Shell.SettingsDir);
    const platform::DisplaySize display = platform::Display(0);
    const WindowOrigin origin = CenteredOrigin(display.width, display.height);
    if (platform::OpenMainWindow(origin.x, origin.y, kClientWidth, kClientHeight,
                                 Shell.WindowTitle)) {
        CreateControls();
        platform::SetControlEventCallback(OnControlEvent);
        platform::SetText(OutdirField, Shell.OutputDir);
        platform::SetState(ShowConsoleCheck, TextToInteger(Shell.CmdShowText) != 0 ? 1 : 0);
        RunEventLoop();
    }
    platform::ShutdownPlatform();
    return 0;
}

}  // namespace quorvel
