#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "platform/platform_state.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

constexpr WPARAM kFieldTextLimit = 0x100000;
constexpr LONG kListTextMargin = 8;
constexpr LPARAM kEditorTextLimit = 0x7FFFFFFE;
// Wrapping a line costs time that grows with the square of its length in some rich-edit
// versions; a text with a longer line is shown unwrapped, with a horizontal scroll bar.
constexpr size_t kLongestWrappedLine = 10000;

size_t LongestLine(std::wstring_view text) {
    size_t longest = 0;
    while (!text.empty()) {
        const size_t end = text.find(L'\r');
        longest = std::max(longest, std::min(end, text.size()));
        if (end == std::wstring_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return longest;
}

struct StreamSource {
    const char* data;
    size_t left;
};

DWORD CALLBACK ReadStreamSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t count = std::min(source->left, static_cast<size_t>(wanted));
    memcpy(buffer, source->data, count);
    source->data += count;
    source->left -= count;
    *given = static_cast<LONG>(count);
    return 0;
}

// Streaming keeps a large text quick to show; WM_SETTEXT takes time that grows with
// the square of its length.
void StreamText(HWND editor, const std::string& text) {
    const std::wstring wide = Widen(text);
    const bool wrap = LongestLine(wide) <= kLongestWrappedLine;
    SendMessageW(editor, EM_SETTARGETDEVICE, 0, wrap ? 0 : 1);
    StreamSource source = {reinterpret_cast<const char*>(wide.data()),
                           wide.size() * sizeof(wchar_t)};
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadStreamSource;
    SendMessageW(editor, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
}

struct RichEditChoice {
    const wchar_t* library;
    const wchar_t* windowClass;
};

constexpr RichEditChoice kRichEditChoices[] = {
    {L"msftedit.dll", L"RICHEDIT50W"},
    {L"riched20.dll", L"RichEdit20W"},
    {L"riched32.dll", L"RichEdit"},
};

HWND CreateChild(DWORD exStyle, const wchar_t* windowClass, const ControlDefinition& definition,
                 DWORD style) {
    PlatformState& state = State();
    const std::wstring caption =
        definition.caption != nullptr ? Widen(definition.caption) : std::wstring();
    return CreateWindowExW(
        exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, definition.x,
        definition.y, definition.width, definition.height, state.mainWindow.Get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.number)), state.instance, nullptr);
}

HWND CreateEditor(const ControlDefinition& definition) {
    PlatformState& state = State();
    constexpr DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                            ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    for (const RichEditChoice& choice : kRichEditChoices) {
        ScopedModule library(LoadLibraryW(choice.library));
        if (!library) {
            continue;
        }
        HWND editor = CreateChild(0, choice.windowClass, definition, style);
        if (editor != nullptr) {
            state.richEditLibraries.push_back(std::move(library));
            SendMessageW(editor, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
            SendMessageW(editor, EM_EXLIMITTEXT, 0, kEditorTextLimit);
            SendMessageW(editor, EM_SETTARGETDEVICE, 0, 0);
            SendMessageW(editor, EM_SETREADONLY, TRUE, 0);
            return editor;
        }
    }
    return nullptr;
}

HWND CreateByKind(const ControlDefinition& definition, bool afterOptionButton) {
    const DWORD closesGroup = afterOptionButton ? WS_GROUP : 0;
    switch (definition.kind) {
        case ControlKind::PushButton:
            return CreateChild(0, L"Button", definition, BS_PUSHBUTTON | WS_TABSTOP | closesGroup);
        case ControlKind::OptionButton:
            return CreateChild(
                0, L"Button", definition,
                BS_AUTORADIOBUTTON | WS_TABSTOP | (afterOptionButton ? 0 : WS_GROUP));
        case ControlKind::CheckBox:
            return CreateChild(0, L"Button", definition,
                               BS_AUTOCHECKBOX | WS_TABSTOP | closesGroup);
        case ControlKind::TextField: {
            HWND field = CreateChild(WS_EX_CLIENTEDGE, L"Edit", definition,
                                     ES_AUTOHSCROLL | WS_TABSTOP | closesGroup);
            if (field != nullptr) {
                SendMessageW(field, EM_LIMITTEXT, kFieldTextLimit, 0);
            }
            return field;
        }
        case ControlKind::Label:
            return CreateChild(0, L"Static", definition, SS_NOPREFIX | SS_LEFT | closesGroup);
        case ControlKind::List:
            return CreateChild(WS_EX_CLIENTEDGE, L"ListBox", definition,
                               LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                                   WS_HSCROLL | WS_TABSTOP | closesGroup);
        case ControlKind::Editor:
            return CreateEditor(definition);
    }
    return nullptr;
}

HWND WindowOf(int number) {
    const Control* control = FindControl(number);
    return control != nullptr ? control->window : nullptr;
}

bool IsButtonKind(ControlKind kind) {
    return kind == ControlKind::OptionButton || kind == ControlKind::CheckBox;
}

}  // namespace

const Control* FindControl(int number) {
    for (const Control& control : State().controls) {
        if (control.number == number) {
            return &control;
        }
    }
    return nullptr;
}

void CreateControl(const ControlDefinition& definition) {
    PlatformState& state = State();
    if (!state.mainWindow) {
        return;
    }
    OwnChange change;
    const bool afterOptionButton =
        !state.controls.empty() && state.controls.back().kind == ControlKind::OptionButton;
    HWND window = CreateByKind(definition, afterOptionButton);
    if (window == nullptr) {
        return;
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    state.controls.push_back({definition.number, definition.kind, window});
}

void SetBackgroundColour(int control, unsigned char red, unsigned char green, unsigned char blue) {
    const Control* found = FindControl(control);
    if (found != nullptr && found->kind == ControlKind::Editor) {
        SendMessageW(found->window, EM_SETBKGNDCOLOR, 0, RGB(red, green, blue));
    }
}

std::string GetText(int control) {
    HWND window = WindowOf(control);
    if (window == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return Narrow(text);
}

void SetText(int control, const std::string& text) {
    const Control* found = FindControl(control);
    if (found == nullptr) {
        return;
    }
    OwnChange change;
    if (found->kind == ControlKind::Editor) {
        StreamText(found->window, text);
    } else {
        SetWindowTextW(found->window, Widen(text).c_str());
    }
}

long long GetState(int control) {
    const Control* found = FindControl(control);
    if (found == nullptr) {
        return 0;
    }
    if (IsButtonKind(found->kind)) {
        return SendMessageW(found->window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    }
    if (found->kind == ControlKind::List) {
        return SendMessageW(found->window, LB_GETCURSEL, 0, 0);
    }
    return 0;
}

void SetState(int control, long long state) {
    const Control* found = FindControl(control);
    if (found == nullptr) {
        return;
    }
    OwnChange change;
    if (IsButtonKind(found->kind)) {
        SendMessageW(found->window, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (found->kind == ControlKind::List) {
        SendMessageW(found->window, LB_SETCURSEL, static_cast<WPARAM>(state), 0);
    }
}

long long ListCount(int control) {
    HWND window = WindowOf(control);
    if (window == nullptr) {
        return 0;
    }
    const LRESULT count = SendMessageW(window, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : count;
}

std::string ListEntry(int control, long long position) {
    HWND window = WindowOf(control);
    if (window == nullptr || position < 0) {
        return {};
    }
    const auto index = static_cast<WPARAM>(position);
    const LRESULT length = SendMessageW(window, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return Narrow(text);
}

void ListAppend(int control, const std::vector<std::string>& texts) {
    HWND window = WindowOf(control);
    if (window == nullptr || texts.empty()) {
        return;
    }
    OwnChange change;
    // Redrawing after every entry makes large drops take minutes.
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    HDC context = GetDC(window);
    HGDIOBJ previousFont = SelectObject(context, State().font);
    LONG widest = static_cast<LONG>(SendMessageW(window, LB_GETHORIZONTALEXTENT, 0, 0));
    for (const std::string& text : texts) {
        const std::wstring wide = Widen(text);
        SendMessageW(window, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(wide.c_str()));
        SIZE size;
        if (GetTextExtentPoint32W(context, wide.c_str(), static_cast<int>(wide.size()), &size)) {
            widest = std::max(widest, size.cx + kListTextMargin);
        }
    }
    SelectObject(context, previousFont);
    ReleaseDC(window, context);
    // Long paths get a horizontal scroll bar.
    SendMessageW(window, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
}

void ListRemove(int control, long long position) {
    HWND window = WindowOf(control);
    if (window == nullptr || position < 0) {
        return;
    }
    OwnChange change;
    SendMessageW(window, LB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void ListClear(int control) {
    HWND window = WindowOf(control);
    if (window == nullptr) {
        return;
    }
    OwnChange change;
    SendMessageW(window, LB_RESETCONTENT, 0, 0);
    SendMessageW(window, LB_SETHORIZONTALEXTENT, 0, 0);
}

}  // namespace quorvel::platform
