#include "driver.h"

#include "control_numbers.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

namespace qdriver {

namespace {

constexpr wchar_t kMainWindowClass[] = L"QuorvelMainWindow";

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowText(HWND window) {
    if (window == nullptr) {
        return {};
    }
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 5000, &copied);
    text.resize(std::min<size_t>(copied, length));
    return text;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* windowClass;
    const std::vector<HWND>* skip;
    bool requireMessageText;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) ||
        ClassOf(window) != search->windowClass) {
        return TRUE;
    }
    if (search->requireMessageText && GetDlgItem(window, 0xFFFF) == nullptr) {
        return TRUE;
    }
    if (search->skip != nullptr &&
        std::find(search->skip->begin(), search->skip->end(), window) != search->skip->end()) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD process, const wchar_t* windowClass,
                       const std::vector<HWND>* skip = nullptr) {
    // Message boxes are the dialogs that carry their text in the static 0xFFFF.
    const bool messageBox = wcscmp(windowClass, L"#32770") == 0;
    WindowSearch search{process, windowClass, skip, messageBox, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring EnvironmentName(const std::wstring& entry) {
    std::wstring name = entry.substr(0, entry.find(L'=', 1));
    std::transform(name.begin(), name.end(), name.begin(), towupper);
    return name;
}

std::wstring EnvironmentBlock(const std::vector<std::wstring>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p != L'\0'; p += wcslen(p) + 1) {
        entries.emplace_back(p);
    }
    FreeEnvironmentStringsW(strings);
    for (const std::wstring& entry : extra) {
        const std::wstring name = EnvironmentName(entry);
        entries.erase(
            std::remove_if(entries.begin(), entries.end(),
                           [&](const std::wstring& e) { return EnvironmentName(e) == name; }),
            entries.end());
        if (entry.find(L'=', 1) + 1 < entry.size() || entry.back() != L'=') {
            entries.push_back(entry);
        }
    }
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = Wide(path);
    if (!wide.empty() && wide[0] == L'/') {
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
        wide = L"Z:" + wide;
    }
    return wide;
}

std::wstring QuorvelExe() {
    wchar_t value[4096] = {};
    if (GetEnvironmentVariableW(L"QUORVEL_EXE", value, 4096) == 0) {
        throw std::runtime_error("QUORVEL_EXE is not set");
    }
    return WindowsPath(Utf8(value));
}

TempFolder::TempFolder(const std::wstring& nameHint) {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + nameHint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    RemoveTree(path_);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot write " + Utf8(path));
    }
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    std::wstring folder = path;
    if (!folder.empty() && folder.back() != L'\\') {
        folder += L'\\';
    }
    for (const std::wstring& name : FolderEntries(folder)) {
        const std::wstring full = folder + name;
        const DWORD attributes = GetFileAttributesW(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveTree(full);
        } else {
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(full.c_str());
        }
    }
    RemoveDirectoryW(folder.c_str());
}

std::string UnixPath(const std::wstring& path) {
    using Converter = char*(CDECL*)(LPCWSTR);
    static const auto convert = reinterpret_cast<Converter>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (convert == nullptr) {
        throw std::runtime_error("not running under Wine");
    }
    char* unix = convert(path.c_str());
    if (unix == nullptr) {
        return {};
    }
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

bool StartUnix(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring commandLine = L"\"" + WindowsPath(program) + L"\"";
    for (const std::string& argument : arguments) {
        commandLine += L" \"" + Wide(argument) + L"\"";
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

namespace {

bool LooksImmutable(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') {
        HANDLE probe = CreateFileW((path + L"immutable-probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            return true;
        }
        CloseHandle(probe);
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(file);
    return false;
}

}  // namespace

bool SetImmutable(const std::wstring& path, bool immutable) {
    if (!StartUnix("/usr/bin/chattr", {immutable ? "+i" : "-i", UnixPath(path)})) {
        return false;
    }
    return WaitFor([&] { return LooksImmutable(path) == immutable; }, 10000);
}

Quorvel::Quorvel(LaunchOptions options) {
    if (options.folder.empty()) {
        ownFolder_.emplace();
        folder_ = ownFolder_->Path();
    } else {
        folder_ = options.folder;
        if (folder_.back() != L'\\') {
            folder_ += L'\\';
        }
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    const std::wstring exe = folder_ + L"quorvel.exe";
    if (!CopyFileW(QuorvelExe().c_str(), exe.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy quorvel.exe into " + Utf8(folder_));
    }
    if (options.settings) {
        WriteBytes(SettingsPath(), *options.settings);
    }
    if (options.withFakeTool) {
        wchar_t tool[4096] = {};
        if (GetEnvironmentVariableW(L"QUORVEL_FAKE_TOOL", tool, 4096) == 0 ||
            !CopyFileW(WindowsPath(Utf8(tool)).c_str(), (folder_ + L"spleeter.exe").c_str(),
                       FALSE)) {
            throw std::runtime_error("cannot place the test double of the tool");
        }
        options.environment.push_back(L"QUORVEL_FAKE_SCRIPT=" + ToolScriptPath());
        options.environment.push_back(L"QUORVEL_FAKE_REPORT=" + ToolReportPath());
    }
    std::wstring commandLine = L"\"" + exe + L"\"";
    std::wstring environment = EnvironmentBlock(options.environment);
    const std::wstring directory =
        options.workingDirectory.empty() ? folder_ : options.workingDirectory;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), directory.c_str(), &startup,
                        &processInfo_)) {
        throw std::runtime_error("cannot start quorvel.exe, error " +
                                 std::to_string(GetLastError()));
    }
}

Quorvel::~Quorvel() {
    if (processInfo_.hProcess != nullptr) {
        if (WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(processInfo_.hProcess, 1);
            WaitForSingleObject(processInfo_.hProcess, 10000);
        }
        CloseHandle(processInfo_.hProcess);
        CloseHandle(processInfo_.hThread);
    }
}

void Quorvel::SetToolScript(const std::string& script) {
    WriteBytes(ToolScriptPath(), script);
}

std::wstring Quorvel::Transcript() {
    std::wstring text = Text(kTranscriptBox);
    std::wstring lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            ++i;  // the box hands its line breaks out as CR LF
        }
        lines += text[i] == L'\n' ? L'\r' : text[i];
    }
    return lines;
}

bool Quorvel::WaitRunEnd(DWORD timeoutMs) {
    return WaitFor(
        [&] { return Transcript().find(L"\r...done!\rExitcode: ") != std::wstring::npos; },
        timeoutMs);
}

bool Quorvel::RunAndWait(DWORD timeoutMs) {
    Send(kTranscriptBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (int attempt = 0; attempt < 5; ++attempt) {
        Press(kRunButton);
        if (WaitFor([&] { return !Transcript().empty(); }, 3000)) {
            break;
        }
    }
    return WaitRunEnd(timeoutMs);
}

HWND Quorvel::FindMainWindow() const {
    return FindProcessWindow(ProcessId(), kMainWindowClass);
}

void Quorvel::Sync() {
    HWND main = FindMainWindow();
    DWORD_PTR result = 0;
    if (main != nullptr) {
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    }
}

HWND Quorvel::Window(DWORD timeoutMs) {
    HWND main = nullptr;
    WaitFor([&] { return (main = FindMainWindow()) != nullptr; }, timeoutMs);
    if (main != nullptr) {
        Sync();
    }
    return main;
}

HWND Quorvel::Control(int number) {
    HWND main = Window();
    return main != nullptr ? GetDlgItem(main, number) : nullptr;
}

std::wstring Quorvel::Text(int number) {
    return WindowText(Control(number));
}

void Quorvel::SetFieldText(int number, const std::wstring& text) {
    SendMessageW(Control(number), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT Quorvel::Send(int number, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(Control(number), message, wParam, lParam);
}

void Quorvel::Press(int number) {
    PostMessageW(Control(number), BM_CLICK, 0, 0);
}

bool Quorvel::Checked(int number) {
    return Send(number, BM_GETCHECK) == BST_CHECKED;
}

std::wstring Quorvel::ListEntry(int position) {
    const LRESULT length = Send(kFileList, LB_GETTEXTLEN, position);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(kFileList, LB_GETTEXT, position, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::vector<std::wstring> Quorvel::ListEntries() {
    std::vector<std::wstring> entries;
    const LRESULT count = Send(kFileList, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        entries.push_back(ListEntry(static_cast<int>(i)));
    }
    return entries;
}

long Quorvel::ListSelection() {
    return static_cast<long>(Send(kFileList, LB_GETCURSEL));
}

void Quorvel::AddListEntries(const std::vector<std::wstring>& entries) {
    for (const std::wstring& entry : entries) {
        Send(kFileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

MessageBoxSeen Quorvel::WaitMessageBox(DWORD timeoutMs) {
    static std::vector<HWND> dismissed;
    MessageBoxSeen seen;
    WaitFor(
        [&] {
            return (seen.window = FindProcessWindow(ProcessId(), L"#32770", &dismissed)) != nullptr;
        },
        timeoutMs);
    if (seen.window == nullptr) {
        return seen;
    }
    seen.mainWindowExisted = FindMainWindow() != nullptr;
    seen.owner = GetWindow(seen.window, GW_OWNER);
    // The text arrives once the box has laid itself out.
    WaitFor([&] { return !WindowText(GetDlgItem(seen.window, 0xFFFF)).empty(); }, 2000);
    seen.caption = WindowText(seen.window);
    seen.text = WindowText(GetDlgItem(seen.window, 0xFFFF));
    dismissed.push_back(seen.window);
    return seen;
}

void Quorvel::Dismiss(const MessageBoxSeen& box) {
    if (!box) {
        return;
    }
    HWND ok = GetDlgItem(box.window, IDOK);
    if (ok != nullptr) {
        PostMessageW(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    }
    WaitFor([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 5000);
}

std::vector<MessageBoxSeen> Quorvel::DismissAllMessageBoxes(DWORD quietMs) {
    std::vector<MessageBoxSeen> boxes;
    for (;;) {
        MessageBoxSeen box = WaitMessageBox(quietMs);
        if (!box) {
            return boxes;
        }
        Dismiss(box);
        boxes.push_back(box);
    }
}

void Quorvel::BringToFront() {
    HWND main = Window();
    RECT frame;
    GetWindowRect(main, &frame);
    SetCursorPos(frame.left + 200, frame.top + 8);
    SetForegroundWindow(main);
    WaitFor([&] { return GetForegroundWindow() == main; }, 3000);
}

void Quorvel::PressKey(WORD key, bool shift, bool alt, bool wait) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift)
        add(VK_SHIFT, false);
    if (alt)
        add(VK_MENU, false);
    add(key, false);
    add(key, true);
    if (alt)
        add(VK_MENU, true);
    if (shift)
        add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (wait) {
        Sleep(60);
        Sync();
    }
}

int Quorvel::FocusedControl() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(processInfo_.dwThreadId, &info) || info.hwndFocus == nullptr) {
        return 0;
    }
    HWND main = FindMainWindow();
    if (info.hwndFocus == main) {
        return -1;
    }
    HWND window = info.hwndFocus;
    while (window != nullptr && GetParent(window) != main) {
        window = GetParent(window);
    }
    return window != nullptr ? GetDlgCtrlID(window) : 0;
}

void Quorvel::RequestClose() {
    PostMessageW(FindMainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::optional<DWORD> Quorvel::WaitExit(DWORD timeoutMs) {
    if (WaitForSingleObject(processInfo_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(processInfo_.hProcess, &code);
    return code;
}

bool Quorvel::Running() const {
    return WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT;
}

}  // namespace qdriver
