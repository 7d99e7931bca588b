#include "platform/files.h"

#include <windows.h>

#include <algorithm>

#include "platform/scoped.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

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

bool WriteThroughTemporaryFile(const std::wstring& path, std::string_view bytes, bool& noTemporary) {
    wchar_t temporary[MAX_PATH + 1] = {};
    const std::wstring folder = FolderOf(path);
    noTemporary = folder.size() > MAX_PATH - 14 || GetTempFileNameW(folder.c_str(), L"qcf", 0, temporary) == 0;
    if (noTemporary) {
        return false;
    }
    ScopedHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    bool done = file && WriteAndClose(std::move(file), bytes);
    if (done) {
        // ReplaceFileW keeps the old file's attributes (a hidden file stays hidden).
        done = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES
                   ? ReplaceFileW(path.c_str(), temporary, nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                   : MoveFileExW(temporary, path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!done) {
        DeleteFileW(temporary);
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
        const DWORD length =
            GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
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
