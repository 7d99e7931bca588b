// The platform's module-level state, in one place.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/gui.h"
#include "platform/scoped.h"

struct IDropTarget;

namespace quorvel::platform {

struct Event {
    EventKind kind = EventKind::None;
    int control = 0;
    DropFormat format = DropFormat::None;
    std::string droppedFiles;
};

struct Control {
    int number;
    ControlKind kind;
    HWND window;
};

struct PlatformState {
    HINSTANCE instance = nullptr;
    ScopedIcon icon;
    ScopedFont ownFont;
    HFONT font = nullptr;
    std::vector<ScopedModule> richEditLibraries;
    bool oleStarted = false;
    bool comStarted = false;

    ScopedWindow mainWindow;
    std::vector<Control> controls;  // in creation order
    HWND focusBeforeDeactivation = nullptr;
    std::vector<std::pair<HWND, IDropTarget*>> dropTargets;

    std::vector<std::string> chosenFiles;  // from the last file dialog
    size_t nextChosenFile = 0;

    std::deque<Event> queue;
    Event current;
    bool wakePosted = false;
    void (*controlEventCallback)() = nullptr;
    int ownChanges = 0;  // > 0 while the program itself changes a control
};

PlatformState& State();

// Message posted to the main window so that a blocking wait returns after an event
// was queued from inside a sent message.
constexpr UINT kWakeMessage = WM_APP + 1;

void QueueEvent(Event event);
void RaiseControlEvent(int control);
void TranslateAndDispatch(MSG& message);
const Control* FindControl(int number);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
IDropTarget* NewFileDropTarget(int control);

// Holds off event raising while the program changes a control itself.
class OwnChange {
  public:
    OwnChange() { ++State().ownChanges; }
    ~OwnChange() { --State().ownChanges; }
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;
};

}  // namespace quorvel::platform
