// Works a running quorvel.exe from another process, as a user would: its window,
// controls, message boxes, keyboard and files. Used by the end-to-end tests.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qdriver {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The quorvel.exe under test (from QUORVEL_EXE, a Unix or Windows path).
std::wstring QuorvelExe();
// A Windows path for a Unix one ("/tmp/x" -> "Z:\tmp\x"); others are returned as given.
std::wstring WindowsPath(const std::string& path);

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TempFolder {
  public:
    explicit TempFolder(const std::wstring& nameHint = L"quorvel-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }  // ends with a backslash
  private:
    std::wstring path_;
};

bool FileExists(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);
std::vector<std::wstring> FolderEntries(const std::wstring& folder);

// The Linux path Wine maps a Windows path to.
std::string UnixPath(const std::wstring& path);
// Starts a Linux program, as Wine can; false when it cannot start. Wine does not let
// a Windows program wait for it.
bool StartUnix(const std::string& program, const std::vector<std::string>& arguments);

// Sets or clears Linux's immutable flag on a file or a folder (path ending in a
// backslash) and waits until it shows: an immutable folder takes no new files, even
// from root, and an immutable file cannot be opened for writing.
bool SetImmutable(const std::wstring& path, bool immutable);

struct MessageBoxSeen {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    bool mainWindowExisted = false;
    explicit operator bool() const { return window != nullptr; }
};

struct LaunchOptions {
    // Folder for the copy of quorvel.exe; empty: a fresh temporary folder.
    std::wstring folder;
    // Working directory of the process; empty: the exe's folder.
    std::wstring workingDirectory;
    // Bytes of quorvel.cfg put beside the exe before the start; none: no file.
    std::optional<std::string> settings = std::string("OUT_OUTDIR=\r\nCMD_SHOW=0\r\n");
    // Extra environment entries "NAME=value" added to the driver's own.
    std::vector<std::wstring> environment;
    // Puts the test double of the tool (from QUORVEL_FAKE_TOOL) beside the exe as
    // spleeter.exe, reading its script from ToolScriptPath() and reporting to ToolReportPath().
    bool withFakeTool = false;
};

class Quorvel {
  public:
    explicit Quorvel(LaunchOptions options = {});
    ~Quorvel();
    Quorvel(const Quorvel&) = delete;
    Quorvel& operator=(const Quorvel&) = delete;

    const std::wstring& Folder() const { return folder_; }
    std::wstring SettingsPath() const { return folder_ + L"quorvel.cfg"; }
    std::wstring ToolScriptPath() const { return folder_ + L"tool-script.txt"; }
    std::wstring ToolReportPath() const { return folder_ + L"tool-report.txt"; }
    // What the test double does when started: one command a line.
    void SetToolScript(const std::string& script);

    // The transcript box's text with line breaks as the program set them (CR).
    std::wstring Transcript();
    // Waits until a run has shown its exit-code line; false on time-out.
    bool WaitRunEnd(DWORD timeoutMs = 30000);
    // Presses the run button for a run that passes its checks and waits for its end. A
    // press that reaches the program while the previous run still drains its input is
    // lost, as it should be; then the button is pressed again.
    bool RunAndWait(DWORD timeoutMs = 30000);
    DWORD ProcessId() const { return processInfo_.dwProcessId; }
    HANDLE Process() const { return processInfo_.hProcess; }

    // The main window, waiting for it to appear; nullptr on time-out.
    HWND Window(DWORD timeoutMs = 15000);
    HWND FindMainWindow() const;
    HWND Control(int number);

    std::wstring Text(int number);
    void SetFieldText(int number, const std::wstring& text);
    LRESULT Send(int number, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Presses a button the way a click does, without waiting for its handler.
    void Press(int number);
    bool Checked(int number);
    std::vector<std::wstring> ListEntries();
    std::wstring ListEntry(int position);
    long ListSelection();
    void AddListEntries(const std::vector<std::wstring>& entries);

    // The next message box of the process, waiting for it; empty on time-out.
    MessageBoxSeen WaitMessageBox(DWORD timeoutMs = 10000);
    void Dismiss(const MessageBoxSeen& box);
    // The caption and text of every box until none shows up within quietMs; each is dismissed.
    std::vector<MessageBoxSeen> DismissAllMessageBoxes(DWORD quietMs = 1500);

    // Keyboard: the window is brought to the front with the pointer over it.
    void BringToFront();
    void PressKey(WORD key, bool shift = false, bool alt = false, bool wait = true);
    int FocusedControl();  // control number, 0 for none, -1 for the main window itself
    // Waits until the thread has processed everything sent so far.
    void Sync();

    void RequestClose();  // as the close box does
    // Waits for the end of the process; its exit code, or nothing on time-out.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000);
    bool Running() const;

  private:
    std::optional<TempFolder> ownFolder_;
    std::wstring folder_;
    PROCESS_INFORMATION processInfo_{};
};

// Waits until the condition holds, polling; false on time-out.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() > end) {
            return false;
        }
        Sleep(20);
    }
}

}  // namespace qdriver
