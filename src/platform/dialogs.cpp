#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "platform/platform_state.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

constexpr DWORD kFileBufferLength = 512000;

std::wstring JoinFolderAndName(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') {
        return folder + name;
    }
    return folder + L'\\' + name;
}

// A single choice comes back as one full path; several as the folder followed by
// the bare names, each ended by a NUL.
std::vector<std::string> ChosenPaths(const std::wstring& buffer) {
    std::vector<std::wstring> parts;
    for (size_t start = 0; start < buffer.size() && buffer[start] != L'\0';) {
        const size_t end = buffer.find(L'\0', start);
        parts.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths.push_back(Narrow(parts[0]));
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(Narrow(JoinFolderAndName(parts[0], parts[i])));
    }
    return paths;
}

}  // namespace

std::string OpenFileDialog(const std::string& title, const std::string& filter, int filterIndex) {
    PlatformState& state = State();
    state.chosenFiles.clear();
    state.nextChosenFile = 0;

    std::wstring wideFilter = Widen(filter);
    for (wchar_t& c : wideFilter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    wideFilter.append(2, L'\0');
    const std::wstring wideTitle = Widen(title);
    std::wstring buffer(kFileBufferLength, L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = state.mainWindow.Get();
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex);
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileBufferLength;
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        return {};
    }
    state.chosenFiles = ChosenPaths(buffer);
    return NextChosenFile();
}

std::string NextChosenFile() {
    PlatformState& state = State();
    if (state.nextChosenFile >= state.chosenFiles.size()) {
        return {};
    }
    return state.chosenFiles[state.nextChosenFile++];
}

std::string BrowseForFolder(const std::string& title) {
    const std::wstring wideTitle = Widen(title);
    BROWSEINFOW browse = {};
    browse.hwndOwner = State().mainWindow.Get();
    browse.lpszTitle = wideTitle.c_str();
    browse.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (item == nullptr) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    const BOOL hasPath = SHGetPathFromIDListW(item, path.data());
    CoTaskMemFree(item);
    if (!hasPath) {
        return {};
    }
    path.resize(wcslen(path.c_str()));
    if (path.empty()) {
        return {};
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return Narrow(path);
}

}  // namespace quorvel::platform
