#include "platform/interpreter.h"

#include <windows.h>

#include <vector>

#include "platform/scoped.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

constexpr const char* kExtensions[] = {".com", ".exe", ".bat", ".cmd"};
constexpr char kFallbackInterpreter[] = "cmd.exe";

// Only a missing (or refused) interpreter file lets the search go on.
enum class Start { Started, NotFound, Failed };

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string EnvironmentValue(const char* name, bool& isSet) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    isSet = size > 0;
    if (!isSet) {
        return {};
    }
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

// A name without an extension is tried with each executable extension in turn.
std::string ResolveInterpreterFile(const std::string& name) {
    const size_t separator = name.find_last_of("\\/:");
    const size_t dot = name.find('.', separator == std::string::npos ? 0 : separator + 1);
    if (dot != std::string::npos) {
        return name;
    }
    for (const char* extension : kExtensions) {
        if (FileExists(name + extension)) {
            return name + extension;
        }
    }
    return name;
}

Start StartAndWait(const std::string& file, const std::string& commandLine, long long& exitCode) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    exitCode = -1;
    if (!CreateProcessA(file.c_str(), writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        const DWORD error = GetLastError();
        const bool notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                              error == ERROR_ACCESS_DENIED;
        return notFound ? Start::NotFound : Start::Failed;
    }
    ScopedHandle process(started.hProcess);
    ScopedHandle thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    exitCode = static_cast<INT32>(code);
    return Start::Started;
}

// cmd.exe from the current directory, then from each folder of PATH, while not found.
long long RunFallbackInterpreter(const std::string& arguments) {
    const std::string commandLine = std::string(kFallbackInterpreter) + " " + arguments;
    std::vector<std::string> candidates = {kFallbackInterpreter};
    bool pathSet = false;
    const std::string path = EnvironmentValue("PATH", pathSet);
    size_t start = 0;
    while (start <= path.size() && pathSet) {
        const size_t end = path.find(';', start);
        std::string folder = path.substr(start, end - start);
        if (!folder.empty()) {
            if (folder.back() != '\\' && folder.back() != '/') {
                folder += '\\';
            }
            candidates.push_back(folder + kFallbackInterpreter);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    for (const std::string& candidate : candidates) {
        long long exitCode = -1;
        if (StartAndWait(candidate, commandLine, exitCode) != Start::NotFound) {
            return exitCode;
        }
    }
    return -1;
}

}  // namespace

std::string AnsiText(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}

long long RunThroughInterpreter(const std::string& command) {
    const std::string arguments = "/c " + command;
    bool comspecSet = false;
    const std::string comspec = EnvironmentValue("COMSPEC", comspecSet);
    if (comspecSet) {
        long long exitCode = -1;
        switch (
            StartAndWait(ResolveInterpreterFile(comspec), comspec + " " + arguments, exitCode)) {
            case Start::Started:
                return exitCode;
            case Start::Failed:
                return -1;
            case Start::NotFound:
                break;
        }
    }
    return RunFallbackInterpreter(arguments);
}

}  // namespace quorvel::platform
