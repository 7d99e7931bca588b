// run_reference [--sync NAME] COUNT RESULT_FILE|- TOOL COMMAND LINE...
// The least a program can do for a run: a window with a transcript box like Quorvel's, the tool
// started COUNT times one after another with its standard output read from an anonymous pipe,
// and everything it wrote put into the box once at the end. It is the yardstick for Quorvel's
// runs.
//
// A windowed program, as Quorvel is, so that the tool starts in the same circumstances. Writes one
// line "elapsed_ms output_bytes peak_working_set peak_pagefile collect_ms show_ms" (the memory
// figures from GetProcessMemoryInfo on itself), or "error TEXT", to RESULT_FILE ("-": standard
// output). The time runs from before the first start until the text is in the box; collect_ms is
// the part spent running the tool and reading its output, show_ms the part spent decoding the
// text and putting it into the box.
//
// With --sync NAME it opens the events NAME-ready, NAME-go, NAME-done and NAME-release: it sets
// ready once its window is up, waits for go before the first start, sets done after writing its
// result and waits for release before exiting, so that another process can watch its memory.
#include <windows.h>
#include <psapi.h>
#include <richedit.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "clock.h"

namespace {

constexpr DWORD kPipeBuffer = 65536;
constexpr DWORD kSyncWaitMs = 120000;

// The rest of the command line after `count` arguments, as it was written.
const wchar_t* SkipArguments(const wchar_t* line, int count) {
    for (int i = 0; i < count; ++i) {
        while (*line == L' ' || *line == L'\t') {
            ++line;
        }
        bool quoted = false;
        while (*line != L'\0' && (quoted || (*line != L' ' && *line != L'\t'))) {
            if (*line == L'"') {
                quoted = !quoted;
            }
            ++line;
        }
    }
    while (*line == L' ' || *line == L'\t') {
        ++line;
    }
    return line;
}

struct SyncEvents {
    HANDLE ready = nullptr;
    HANDLE go = nullptr;
    HANDLE done = nullptr;
    HANDLE release = nullptr;
};

SyncEvents OpenSyncEvents(const std::wstring& name) {
    auto open = [&](const wchar_t* suffix) {
        return OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, (name + suffix).c_str());
    };
    return {open(L"-ready"), open(L"-go"), open(L"-done"), open(L"-release")};
}

struct StreamSource {
    const BYTE* data;
    size_t left;
};

DWORD CALLBACK ReadStreamSource(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const size_t count = source->left < static_cast<size_t>(wanted) ? source->left : wanted;
    memcpy(buffer, source->data, count);
    source->data += count;
    source->left -= count;
    *given = static_cast<LONG>(count);
    return 0;
}

HWND CreateTranscriptBox(HINSTANCE instance) {
    LoadLibraryW(L"msftedit.dll");
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QuorvelRunReference";
    RegisterClassExW(&windowClass);
    constexpr DWORD style = WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, 710, 450};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Run reference", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    constexpr DWORD editorStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL |
                                  ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
    HWND editor =
        CreateWindowExW(0, L"RICHEDIT50W", L"", WS_CHILD | WS_VISIBLE | editorStyle, 0, 330, 710,
                        120, window, reinterpret_cast<HMENU>(8), instance, nullptr);
    if (editor == nullptr) {
        return nullptr;
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    SendMessageW(editor, WM_SETFONT,
                 reinterpret_cast<WPARAM>(CreateFontIndirectW(&metrics.lfMessageFont)), FALSE);
    SendMessageW(editor, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SendMessageW(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageW(editor, EM_SETTARGETDEVICE, 0, 0);
    SendMessageW(editor, EM_SETREADONLY, TRUE, 0);
    SendMessageW(editor, EM_SETBKGNDCOLOR, 0, RGB(253, 254, 216));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return editor;
}

// Runs the tool once and appends what it writes to `output`; false when it cannot start.
bool RunTool(const std::wstring& commandLine, std::string& output) {
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, kPipeBuffer)) {
        return false;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring writable = commandLine;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                       nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(process.hThread);
    static char buffer[kPipeBuffer];
    DWORD received = 0;
    while (ReadFile(readEnd, buffer, kPipeBuffer, &received, nullptr) && received > 0) {
        output.append(buffer, received);
    }
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return true;
}

void ShowText(HWND editor, const std::string& bytes) {
    std::wstring text;
    if (!bytes.empty()) {
        const int size = static_cast<int>(bytes.size());
        const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
        text.resize(static_cast<size_t>(length));
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, text.data(), length);
    }
    StreamSource source = {reinterpret_cast<const BYTE*>(text.data()),
                           text.size() * sizeof(wchar_t)};
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadStreamSource;
    SendMessageW(editor, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    int first = 1;
    SyncEvents sync;
    if (argc > 2 && wcscmp(argv[1], L"--sync") == 0) {
        sync = OpenSyncEvents(argv[2]);
        first = 3;
    }
    if (argc < first + 3 || _wtoi(argv[first]) < 1) {
        return 2;
    }
    const int count = _wtoi(argv[first]);
    const std::wstring resultFile = argv[first + 1];
    const std::wstring commandLine = SkipArguments(GetCommandLineW(), first + 2);
    FILE* result = resultFile == L"-" ? stdout : _wfopen(resultFile.c_str(), L"w");
    if (result == nullptr) {
        return 2;
    }
    auto fail = [&](const char* what) {
        std::fprintf(result, "error %s (%lu)\n", what, GetLastError());
        std::fclose(result);
        return 1;
    };
    if (first == 3 && (sync.ready == nullptr || sync.go == nullptr || sync.done == nullptr ||
                       sync.release == nullptr)) {
        return fail("cannot open the events");
    }

    HWND editor = CreateTranscriptBox(instance);
    if (editor == nullptr) {
        return fail("cannot create the transcript box");
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    if (sync.ready != nullptr) {
        SetEvent(sync.ready);
        WaitForSingleObject(sync.go, kSyncWaitMs);
    }

    const double start = Milliseconds();
    std::string output;
    for (int i = 0; i < count; ++i) {
        if (!RunTool(commandLine, output)) {
            return fail("cannot start the tool");
        }
    }
    const double collected = Milliseconds();
    ShowText(editor, output);
    const double end = Milliseconds();

    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof(memory));
    std::fprintf(result, "%.3f %zu %zu %zu %.3f %.3f\n", end - start, output.size(),
                 memory.PeakWorkingSetSize, memory.PeakPagefileUsage, collected - start,
                 end - collected);
    if (result != stdout) {
        std::fclose(result);
    }
    if (sync.done != nullptr) {
        SetEvent(sync.done);
        WaitForSingleObject(sync.release, kSyncWaitMs);
    }
    return 0;
}
