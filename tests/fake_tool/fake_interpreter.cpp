// Test stand-in for a command interpreter: appends what it was started with to the file
// named by QUORVEL_FAKE_INTERPRETER_LOG ("cmdline=", "module=", "cwd=", then "end"),
// sleeps QUORVEL_FAKE_INTERPRETER_SLEEP milliseconds when set (then appends "slept"),
// and exits with code 7.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& wide) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), length, nullptr, nullptr);
    text.resize(text.empty() ? 0 : text.size() - 1);
    return text;
}

std::wstring Variable(const wchar_t* name) {
    wchar_t value[4096] = {};
    return GetEnvironmentVariableW(name, value, 4096) > 0 ? value : L"";
}

void Append(const std::string& text) {
    const std::wstring log = Variable(L"QUORVEL_FAKE_INTERPRETER_LOG");
    if (log.empty()) {
        return;
    }
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int wmain() {
    wchar_t module[4096] = {};
    GetModuleFileNameW(nullptr, module, 4096);
    wchar_t directory[4096] = {};
    GetCurrentDirectoryW(4096, directory);
    const std::string record = "cmdline=" + Utf8(GetCommandLineW()) + "\nmodule=" + Utf8(module) +
                               "\ncwd=" + Utf8(directory) + "\nend\n";
    Append(record);
    const std::wstring pause = Variable(L"QUORVEL_FAKE_INTERPRETER_SLEEP");
    if (!pause.empty()) {
        Sleep(static_cast<DWORD>(std::stoul(pause)));
        Append("slept\n");
    }
    return 7;
}
