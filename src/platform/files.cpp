#include "platform/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/scoped.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// Writes, flushes and closes; any failure on the way counts.
bool WriteAndClose(ScopedHandle file, std::string_view bytes) {
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    return CloseHandle(file.Release()) && written;
}

// A new file beside the target; none when the folder takes no new files.
ScopedHandle CreateTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(attempt) + L".tmp";
        ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return ScopedHandle();
}

bool WriteThroughTemporaryFile(const std::wstring& path, std::string_view bytes,
                               bool& noTemporary) {
    std::wstring temporary;
    ScopedHandle file = CreateTemporaryBeside(path, temporary);
    noTemporary = !file;
    if (noTemporary) {
        return false;
    }
    bool done = WriteAndClose(std::move(file), bytes);
    if (done) {
        // Keep what the user set on the old file, such as the hidden attribute.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            SetFileAttributesW(temporary.c_str(),
                               attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                             FILE_ATTRIBUTE_ARCHIVE));
        }
        done = MoveFileExW(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!done) {
        DeleteFileW(temporary.c_str());
    }
    return done;
}

}  // namespace

long long PathSize(const std::string& path) {
    if (path.empty()) {
        return -1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return -2;
    }
    return static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                  data.nFileSizeLow);
}

std::string ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string CurrentDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(length);
    }
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    ScopedHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bytes.clear();
    char chunk[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        bytes.append(chunk, read);
    }
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::wstring widePath = Widen(path);
    bool noTemporary = false;
    if (WriteThroughTemporaryFile(widePath, bytes, noTemporary)) {
        return true;
    }
    if (!noTemporary) {
        return false;
    }
    // The folder takes no new file, but the file itself may still accept writing.
    ScopedHandle file(CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAndClose(std::move(file), bytes);
}

}  // namespace quorvel::platform
