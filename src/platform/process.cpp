#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/scoped.h"
#include "platform/unicode.h"
#include "platform/wide.h"

namespace quorvel::platform {

struct ToolProcess {
    ScopedHandle process;
    ScopedHandle output;  // read end of the output pipe, opened for overlapped reads
};

void ToolProcessRelease::operator()(ToolProcess* tool) const {
    delete tool;
}

namespace {

constexpr DWORD kPipeBuffer = 65536;
constexpr int kStartAttempts = 3;

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : Narrow(message);
}

// A pipe whose write end the tool inherits and whose read end only this process holds.
// Named, so that the read end can wait on the tool and the pipe together.
bool CreateOutputPipe(ScopedHandle& readEnd, ScopedHandle& writeEnd) {
    static unsigned counter = 0;
    const std::wstring name = L"\\\\.\\pipe\\quorvel-output-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    readEnd.Reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0,
                                   kPipeBuffer, 0, nullptr));
    if (!readEnd) {
        return false;
    }
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    writeEnd.Reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return writeEnd.Valid();
}

DWORD BytesWaiting(HANDLE pipe) {
    DWORD available = 0;
    return PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) ? available : 0;
}

}  // namespace

Tool StartTool(const std::string& program, const std::string& parameters, bool showConsole,
               std::string& error) {
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    const bool piped = CreateOutputPipe(readEnd, writeEnd);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showConsole ? SW_SHOWNORMAL : SW_HIDE;
    DWORD creationFlags = NORMAL_PRIORITY_CLASS;
    if (piped) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd.Get();
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    } else {
        readEnd.Reset();
        if (!showConsole) {
            creationFlags |= CREATE_NEW_CONSOLE;
        }
    }

    const std::wstring commandLine = L"\"" + Widen(program) + L"\" " + Widen(parameters);
    PROCESS_INFORMATION started = {};
    DWORD failure = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        std::wstring writable = commandLine;
        if (CreateProcessW(nullptr, writable.data(), nullptr, nullptr, piped ? TRUE : FALSE,
                           creationFlags, nullptr, nullptr, &startup, &started)) {
            failure = ERROR_SUCCESS;
            break;
        }
        failure = GetLastError();
        // Seen now and then under load; a second try succeeds.
        if (failure != ERROR_INTERNAL_ERROR) {
            break;
        }
    }
    if (failure != ERROR_SUCCESS) {
        error = SystemMessage(failure);
        return Tool();
    }
    CloseHandle(started.hThread);
    // From now on only the tool, and what it starts, holds the write end: the pipe
    // reports its end when they are all gone.
    writeEnd.Reset();
    return Tool(new ToolProcess{ScopedHandle(started.hProcess), std::move(readEnd)});
}

void CollectOutput(ToolProcess& tool, const std::function<void(std::string_view)>& onBytes) {
    HANDLE process = tool.process.Get();
    HANDLE pipe = tool.output.Get();
    ScopedHandle readDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!tool.output || !readDone) {
        WaitForSingleObject(process, INFINITE);
        return;
    }
    std::vector<char> buffer(kPipeBuffer);
    bool ended = false;
    for (;;) {
        // Once the tool has ended, only what already waits in the pipe is read: a
        // process it left behind holding the pipe does not keep the run waiting.
        if (ended && BytesWaiting(pipe) == 0) {
            return;
        }
        OVERLAPPED read = {};
        read.hEvent = readDone.Get();
        if (!ReadFile(pipe, buffer.data(), kPipeBuffer, nullptr, &read)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                return;  // every writer has closed the pipe
            }
            if (!ended) {
                const HANDLE waits[] = {readDone.Get(), process};
                if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
                    ended = true;
                    CancelIoEx(pipe, &read);
                }
            }
        }
        DWORD received = 0;
        if (GetOverlappedResult(pipe, &read, &received, TRUE)) {
            onBytes(std::string_view(buffer.data(), received));
        } else if (GetLastError() != ERROR_OPERATION_ABORTED) {
            return;
        }
    }
}

long long ExitCode(ToolProcess& tool) {
    WaitForSingleObject(tool.process.Get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(tool.process.Get(), &code);
    return static_cast<INT32>(code);
}

std::string DecodeToolLine(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        length);
    return Narrow(wide);
}

}  // namespace quorvel::platform
