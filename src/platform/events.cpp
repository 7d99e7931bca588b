#include "platform/platform_state.h"

namespace quorvel::platform {

void QueueEvent(Event event) {
    PlatformState& state = State();
    state.queue.push_back(std::move(event));
    // A control event raised inside a message sent from another thread or process
    // does not make GetMessageW return by itself.
    if (!state.wakePosted && state.mainWindow) {
        state.wakePosted = PostMessageW(state.mainWindow.Get(), kWakeMessage, 0, 0) != FALSE;
    }
}

void RaiseControlEvent(int control) {
    PlatformState& state = State();
    if (state.ownChanges > 0) {
        return;
    }
    Event event;
    event.kind = EventKind::Control;
    event.control = control;
    if (state.controlEventCallback != nullptr) {
        Event previous = std::exchange(state.current, event);
        state.controlEventCallback();
        state.current = std::move(previous);
    }
    QueueEvent(std::move(event));
}

static EventKind TakeQueuedEvent() {
    PlatformState& state = State();
    state.current = std::move(state.queue.front());
    state.queue.pop_front();
    return state.current.kind;
}

EventKind WaitEvent() {
    PlatformState& state = State();
    while (state.queue.empty()) {
        MSG message;
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == -1) {
            state.current = Event{};
            return EventKind::None;
        }
        if (result != 0) {
            TranslateAndDispatch(message);
        }
    }
    return TakeQueuedEvent();
}

EventKind PollEvent() {
    PlatformState& state = State();
    while (state.queue.empty()) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            state.current = Event{};
            return EventKind::None;
        }
        if (message.message != WM_QUIT) {
            TranslateAndDispatch(message);
        }
    }
    return TakeQueuedEvent();
}

int EventControl() {
    return State().current.control;
}
DropFormat EventDropFormat() {
    return State().current.format;
}
const std::string& EventDroppedFiles() {
    return State().current.droppedFiles;
}

void SetControlEventCallback(void (*callback)()) {
    State().controlEventCallback = callback;
}

}  // namespace quorvel::platform
