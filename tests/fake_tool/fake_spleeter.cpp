// Test double of the outside separation tool, built as spleeter.exe for the tests only.
//
// Behaviour comes from the UTF-8 script file named by QUORVEL_FAKE_SCRIPT, one command a line,
// run top to bottom. Without a script (variable unset or empty, or file missing) it runs `report`
// and exits 0. At the end of a script it exits 0.
//
//   report              append a record to the file named by QUORVEL_FAKE_REPORT (if set):
//                         start show=<wShowWindow decimal> flags=0x<dwFlags lowercase hex>
//                         arg=<argument>            one per argument, argv[0] left out
//                         cwd=<current directory>
//                         end
//                       UTF-8, LF line ends, one append per record.
//   write TEXT          TEXT to standard output, byte for byte, no newline added.
//   repeat N TEXT       TEXT N times to standard output.
//   line-bytes N CHAR   N copies of the one byte CHAR, no newline.
//   sleep MS            Sleep(MS).
//   spawn-holder MS     start this exe again as `--hold MS`, sharing our standard handles by
//                       inheritance, and do not wait; the holder sleeps MS then exits 0, so a pipe
//                       reader sees end of output only once both are gone.
//   stems               from `separate -p spleeter:<N>stems -o <OUTDIR> <FILE>` create
//                       OUTDIR\<FILE name without extension>\ and write small WAV files
//                       (2: vocals accompaniment; 4: vocals drums bass other;
//                       5: vocals drums bass piano other), printing `wrote <path>` LF for each.
//                       Missing FILE: prints `error: cannot read <FILE>` LF and exits 1.
//   exit CODE           ExitProcess(CODE); decimal or 0x hex, unsigned 32-bit.
//   # ...               comment; empty lines are skipped too.
//
// TEXT and CHAR decode \r \n \t \0 \\ \xHH, and {name} becomes the bare file name (no folder, no
// extension) of the last argument. Unknown commands print `fake: unknown command <line>` to
// stderr and exit 99; malformed arguments print `fake: bad arguments <line>` and exit 99.

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kBadScriptExit = 99;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::vector<std::wstring> Arguments() {
    std::vector<std::wstring> result;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) {
        return result;
    }
    for (int i = 1; i < count; ++i) {
        result.emplace_back(argv[i]);
    }
    LocalFree(argv);
    return result;
}

// Broken pipes are not fatal: a reader that gave up must not turn into a different exit code.
void WriteAll(HANDLE handle, const char* data, size_t size) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return;
    }
    while (size > 0) {
        DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) {
            return;
        }
        data += written;
        size -= written;
    }
}

void WriteOut(const std::string& bytes) {
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), bytes.size());
}

[[noreturn]] void Fail(const std::string& message, UINT code) {
    std::string line = "fake: " + message + "\n";
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), line.data(), line.size());
    ExitProcess(code);
}

std::wstring BareName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool DecodeText(const std::string& raw, const std::string& name, std::string* out) {
    out->clear();
    static const std::string kNameToken = "{name}";
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '{' && raw.compare(i, kNameToken.size(), kNameToken) == 0) {
            out->append(name);
            i += kNameToken.size() - 1;
            continue;
        }
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (++i >= raw.size()) {
            return false;
        }
        switch (raw[i]) {
            case 'r':
                out->push_back('\r');
                break;
            case 'n':
                out->push_back('\n');
                break;
            case 't':
                out->push_back('\t');
                break;
            case '0':
                out->push_back('\0');
                break;
            case '\\':
                out->push_back('\\');
                break;
            case 'x': {
                int high = i + 1 < raw.size() ? HexDigit(raw[i + 1]) : -1;
                int low = i + 2 < raw.size() ? HexDigit(raw[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    return false;
                }
                out->push_back(static_cast<char>(high * 16 + low));
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

bool ParseNumber(const std::string& text, bool allowHex, uint64_t limit, uint64_t* value) {
    size_t start = 0;
    int base = 10;
    if (allowHex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        start = 2;
        base = 16;
    }
    if (start >= text.size()) {
        return false;
    }
    uint64_t result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0 || digit >= base) {
            return false;
        }
        if (result > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
            return false;
        }
        result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    *value = result;
    return true;
}

void SplitFirst(const std::string& text, std::string* head, std::string* rest) {
    size_t blank = text.find(' ');
    if (blank == std::string::npos) {
        *head = text;
        rest->clear();
    } else {
        *head = text.substr(0, blank);
        *rest = text.substr(blank + 1);
    }
}

void Report(const std::vector<std::wstring>& args) {
    std::wstring path = EnvironmentValue(L"QUORVEL_FAKE_REPORT");
    if (path.empty()) {
        return;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    char header[64];
    std::snprintf(header, sizeof(header), "start show=%u flags=0x%lx\n",
                  static_cast<unsigned>(startup.wShowWindow),
                  static_cast<unsigned long>(startup.dwFlags));
    std::string record = header;
    for (const std::wstring& arg : args) {
        record += "arg=" + ToUtf8(arg) + "\n";
    }
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring cwd(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, cwd.data());
    cwd.resize(length < size ? length : 0);
    record += "cwd=" + ToUtf8(cwd) + "\nend\n";

    // A test may be reading the file while the next start appends; wait out brief conflicts.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200; ++attempt) {
        file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) {
            break;
        }
        Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) {
        Fail("cannot open report file " + ToUtf8(path), kBadScriptExit);
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != record.size()) {
        Fail("cannot write report file " + ToUtf8(path), kBadScriptExit);
    }
}

void Repeat(uint64_t count, const std::string& text) {
    if (count == 0 || text.empty()) {
        return;
    }
    constexpr size_t kBlock = 64 * 1024;
    uint64_t perBlock = text.size() >= kBlock ? 1 : kBlock / text.size();
    std::string block;
    block.reserve(static_cast<size_t>(perBlock) * text.size());
    for (uint64_t i = 0; i < perBlock && i < count; ++i) {
        block += text;
    }
    uint64_t copiesInBlock = block.size() / text.size();
    while (count >= copiesInBlock) {
        WriteOut(block);
        count -= copiesInBlock;
    }
    if (count > 0) {
        WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), block.data(),
                 static_cast<size_t>(count) * text.size());
    }
}

void SpawnHolder(const std::string& ms) {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (length == 0) {
            Fail("cannot find own exe", kBadScriptExit);
        }
        if (length < exe.size()) {
            exe.resize(length);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    std::wstring commandLine = L"\"" + exe + L"\" --hold " + std::wstring(ms.begin(), ms.end());

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    // Our inherited handles keep their inherit flag, but make sure even if we were given
    // non-inheritable ones; failures (console pseudo handles) are harmless.
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        }
    }
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        Fail("cannot start holder", kBadScriptExit);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool EndsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

void CreateFolders(const std::wstring& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if ((path[i] == L'\\' || path[i] == L'/') && i > 0 && path[i - 1] != L':' &&
            path[i - 1] != L'\\' && path[i - 1] != L'/') {
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
        }
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

std::string SilentWav() {
    constexpr uint32_t kRate = 44100;
    constexpr uint32_t kSamples = 441;
    constexpr uint32_t kDataBytes = kSamples * 2;
    std::string wav;
    auto put32 = [&wav](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            wav.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    };
    auto put16 = [&wav](uint16_t v) {
        wav.push_back(static_cast<char>(v & 0xFF));
        wav.push_back(static_cast<char>(v >> 8));
    };
    wav += "RIFF";
    put32(36 + kDataBytes);
    wav += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    wav += "data";
    put32(kDataBytes);
    wav.append(kDataBytes, '\0');
    return wav;
}

void Stems(const std::vector<std::wstring>& args, const std::string& line) {
    std::wstring model;
    std::wstring outDir;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == L"-p") {
            model = args[i + 1];
        } else if (args[i] == L"-o") {
            outDir = args[i + 1];
        }
    }
    const std::wstring prefix = L"spleeter:";
    if (args.empty() || outDir.empty() || model.compare(0, prefix.size(), prefix) != 0) {
        Fail("bad arguments " + line, kBadScriptExit);
    }
    std::wstring count = model.substr(prefix.size());
    std::vector<const wchar_t*> stems;
    if (count == L"2stems") {
        stems = {L"vocals", L"accompaniment"};
    } else if (count == L"4stems") {
        stems = {L"vocals", L"drums", L"bass", L"other"};
    } else if (count == L"5stems") {
        stems = {L"vocals", L"drums", L"bass", L"piano", L"other"};
    } else {
        Fail("bad arguments " + line, kBadScriptExit);
    }

    const std::wstring& input = args.back();
    DWORD attributes = GetFileAttributesW(input.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        WriteOut("error: cannot read " + ToUtf8(input) + "\n");
        ExitProcess(1);
    }

    std::wstring folder = outDir + (EndsWithSeparator(outDir) ? L"" : L"\\") + BareName(input);
    CreateFolders(folder);
    const std::string content = SilentWav();
    for (const wchar_t* stem : stems) {
        std::wstring path = folder + L"\\" + stem + L".wav";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written,
                            nullptr) &&
                  written == content.size();
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
        if (!ok) {
            WriteOut("error: cannot write " + ToUtf8(path) + "\n");
            ExitProcess(1);
        }
        WriteOut("wrote " + ToUtf8(path) + "\n");
    }
}

bool ReadScript(const std::wstring& path, std::string* content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    content->clear();
    char buffer[64 * 1024];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        content->append(buffer, got);
    }
    CloseHandle(file);
    if (content->compare(0, 3, "\xEF\xBB\xBF") == 0) {
        content->erase(0, 3);
    }
    return true;
}

void RunLine(const std::string& line, const std::vector<std::wstring>& args,
             const std::string& name) {
    std::string command;
    std::string rest;
    SplitFirst(line, &command, &rest);
    std::string number;
    std::string text;
    SplitFirst(rest, &number, &text);
    uint64_t value = 0;
    std::string decoded;

    if (command == "report" && rest.empty()) {
        Report(args);
    } else if (command == "write") {
        if (!DecodeText(rest, name, &decoded)) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        WriteOut(decoded);
    } else if (command == "repeat") {
        if (!ParseNumber(number, false, UINT64_MAX, &value) || !DecodeText(text, name, &decoded)) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        Repeat(value, decoded);
    } else if (command == "line-bytes") {
        if (!ParseNumber(number, false, UINT64_MAX, &value) || !DecodeText(text, name, &decoded) ||
            decoded.size() != 1) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        Repeat(value, decoded);
    } else if (command == "sleep") {
        if (!ParseNumber(rest, false, 0xFFFFFFFEu, &value)) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        Sleep(static_cast<DWORD>(value));
    } else if (command == "spawn-holder") {
        if (!ParseNumber(rest, false, 0xFFFFFFFEu, &value)) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        SpawnHolder(std::to_string(value));
    } else if (command == "stems" && rest.empty()) {
        Stems(args, line);
    } else if (command == "exit") {
        if (!ParseNumber(rest, true, 0xFFFFFFFFu, &value)) {
            Fail("bad arguments " + line, kBadScriptExit);
        }
        ExitProcess(static_cast<UINT>(value));
    } else {
        Fail("unknown command " + line, kBadScriptExit);
    }
}

}  // namespace

int wmain(int, wchar_t**) {
    std::vector<std::wstring> args = Arguments();
    if (args.size() == 2 && args[0] == L"--hold") {
        uint64_t ms = 0;
        if (ParseNumber(ToUtf8(args[1]), false, 0xFFFFFFFEu, &ms)) {
            Sleep(static_cast<DWORD>(ms));
        }
        ExitProcess(0);
    }

    std::wstring scriptPath = EnvironmentValue(L"QUORVEL_FAKE_SCRIPT");
    std::string script;
    if (scriptPath.empty() || !ReadScript(scriptPath, &script)) {
        Report(args);
        ExitProcess(0);
    }

    const std::string name = args.empty() ? std::string() : ToUtf8(BareName(args.back()));
    size_t position = 0;
    while (position < script.size()) {
        size_t end = script.find('\n', position);
        if (end == std::string::npos) {
            end = script.size();
        }
        std::string line = script.substr(position, end - position);
        position = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        RunLine(line, args, name);
    }
    ExitProcess(0);
}
