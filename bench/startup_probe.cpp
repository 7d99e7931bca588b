// startup_probe COUNT EXE CLASS [EXE CLASS]...
// Starts each program COUNT times, taking turns after one untimed warm-up each, and times from
// CreateProcessW until the program's window of CLASS is visible and has answered a sent WM_NULL,
// that is until it is shown and idle. Prints one line per program: median_ms min_ms EXE
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "clock.h"

namespace {

constexpr double kGiveUpSeconds = 60.0;

double Seconds() {
    return Milliseconds() / 1000.0;
}

HWND VisibleWindowOf(DWORD process, const wchar_t* windowClass) {
    for (HWND w = FindWindowExW(nullptr, nullptr, windowClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process && IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}

// Milliseconds until the window is shown and idle, or a negative number on failure.
double TimeOneStart(const std::wstring& exe, const wchar_t* windowClass) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};

    const double start = Seconds();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    double elapsed = -1;
    HWND window = nullptr;
    while (window == nullptr && Seconds() - start < kGiveUpSeconds &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        window = VisibleWindowOf(process.dwProcessId, windowClass);
        if (window == nullptr) {
            Sleep(1);
        }
    }
    DWORD_PTR answer = 0;
    if (window != nullptr &&
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                            static_cast<UINT>(kGiveUpSeconds * 1000), &answer) != 0) {
        elapsed = (Seconds() - start) * 1000.0;
    } else {
        std::fwprintf(stderr, L"no idle %ls window from %ls\n", windowClass, exe.c_str());
    }

    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(kGiveUpSeconds * 1000)) !=
        WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not exit; terminating it\n", exe.c_str());
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        elapsed = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? _wtoi(argv[1]) : 0;
    if (argc < 4 || argc % 2 != 0 || count < 1) {
        std::fwprintf(stderr, L"usage: startup_probe COUNT EXE CLASS [EXE CLASS]...\n");
        return 2;
    }
    const int programs = (argc - 2) / 2;
    std::vector<std::vector<double>> times(programs);
    for (int round = -1; round < count; ++round) {
        // The order turns every round so that neither program always follows the other.
        for (int turn = 0; turn < programs; ++turn) {
            const int p = (turn + round + 1) % programs;
            const double ms = TimeOneStart(argv[2 + 2 * p], argv[3 + 2 * p]);
            if (ms < 0) {
                return 1;
            }
            if (round >= 0) {
                times[p].push_back(ms);
            }
        }
    }
    for (int p = 0; p < programs; ++p) {
        std::vector<double>& t = times[p];
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        const double median = n % 2 != 0 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
        std::wprintf(L"%.1f %.1f %ls\n", median, t.front(), argv[2 + 2 * p]);
    }
    return 0;
}
