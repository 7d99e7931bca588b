// The GUI toolkit as the rest of the program sees it: one main window whose
// controls are addressed by number, an event queue, message boxes, cursors.
// Texts are UTF-8; conversion to the system's UTF-16 happens inside.
#pragma once

#include <string>
#include <vector>

namespace quorvel::platform {

enum class ControlKind { PushButton, OptionButton, CheckBox, TextField, Label, List, Editor };

enum class EventKind { None, Close, Control, Drop };

enum class DropFormat { None, Files };

struct ControlDefinition {
    int number;
    ControlKind kind;
    int x, y, width, height;
    const char* caption;
};

struct DisplaySize {
    long long width;
    long long height;
};

// Start-up and shutdown of the toolkit, the common controls, OLE and COM.
void StartPlatform();
void ShutdownPlatform();

// Displays attached to the desktop, the primary first; index past the end gives 0 x 0.
DisplaySize Display(size_t index);

// Opens the main window with the given outer-frame corner and client size.
bool OpenMainWindow(long long x, long long y, int clientWidth, int clientHeight,
                    const std::string& title);

// Creates a child of the main window. An editor is created read-only with word wrap.
void CreateControl(const ControlDefinition& definition);
void SetBackgroundColour(int control, unsigned char red, unsigned char green, unsigned char blue);
void AcceptFileDrops(int control);

// Control operations; a number that names no control does nothing and yields 0 or "".
std::string GetText(int control);
void SetText(int control, const std::string& text);
long long GetState(int control);
void SetState(int control, long long state);
long long ListCount(int control);
std::string ListEntry(int control, long long position);
void ListAppend(int control, const std::vector<std::string>& texts);
void ListRemove(int control, long long position);
void ListClear(int control);

// Events. WaitEvent blocks until an event is queued; PollEvent never blocks and
// returns EventKind::None when nothing is pending.
EventKind WaitEvent();
EventKind PollEvent();
int EventControl();
DropFormat EventDropFormat();
const std::string& EventDroppedFiles();
void SetControlEventCallback(void (*callback)());

// A modal box with one OK button; returns when the user dismisses it.
void ShowMessageBox(const std::string& title, const std::string& text);

// The multi-select open-file dialog: the first chosen path, "" when cancelled or failed.
// `filter` is pairs of label and pattern separated by "|"; `filterIndex` counts from 1.
std::string OpenFileDialog(const std::string& title, const std::string& filter, int filterIndex);
// The next path chosen in the last file dialog; "" when none is left.
std::string NextChosenFile();
// The folder dialog: the chosen folder ending with a backslash, "" when cancelled or
// when the item has no file-system path.
std::string BrowseForFolder(const std::string& title);

void ShowWaitCursor();
void ShowArrowCursor();

}  // namespace quorvel::platform
