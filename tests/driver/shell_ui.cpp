#include "shell_ui.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <stdexcept>

namespace qdriver {

namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring Caption(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

HWND FindDescendant(HWND parent, const std::wstring& windowClass) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassName(child).c_str(), windowClass.c_str()) == 0) {
            return child;
        }
        if (HWND found = FindDescendant(child, windowClass)) {
            return found;
        }
    }
    return nullptr;
}

struct DialogSearch {
    DWORD process;
    std::wstring caption;
    std::wstring childClass;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || ClassName(window) != L"#32770") {
        return TRUE;
    }
    if (!search->caption.empty() && Caption(window) != search->caption) {
        return TRUE;
    }
    if (!search->childClass.empty() && FindDescendant(window, search->childClass) == nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Memory inside another process, for messages whose pointers Wine does not carry across.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (address_ == nullptr) {
            throw std::runtime_error("cannot allocate memory in the program");
        }
    }
    ~RemoteBuffer() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* Address() const { return address_; }
    void Write(const void* data, size_t size, size_t offset = 0) {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0) const {
        ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    constexpr size_t kTextChars = 512;
    RemoteBuffer remote(tree, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    TVITEMW query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText =
        reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(TVITEMW));
    query.cchTextMax = kTextChars;
    remote.Write(&query, sizeof(query));
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.Address()));
    wchar_t text[kTextChars] = {};
    remote.Read(text, sizeof(text), sizeof(TVITEMW));
    text[kTextChars - 1] = L'\0';
    return text;
}

bool LabelMatches(const std::wstring& text, const std::wstring& label) {
    return _wcsicmp(text.c_str(), label.c_str()) == 0 ||
           text.find(L"(" + label + L")") != std::wstring::npos;
}

HTREEITEM TreeNext(HWND tree, WPARAM relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// --- drag-and-drop from this process ---

class DataObject final : public IDataObject {
  public:
    DataObject(CLIPFORMAT format, HGLOBAL data) : format_(format), data_(data) {}
    ~DataObject() { GlobalFree(data_); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        const SIZE_T size = GlobalSize(data_);
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(copy), GlobalLock(data_), size);
        GlobalUnlock(copy);
        GlobalUnlock(data_);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK
                                                                                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        FORMATETC format = {format_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    LONG references_ = 1;
    CLIPFORMAT format_;
    HGLOBAL data_;
};

// Lets the drag travel for a few rounds of the drag loop, then drops.
class DropSource final : public IDropSource {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return ++rounds_ < 6 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    int rounds_ = 0;
};

DWORD Drag(HWND target, CLIPFORMAT format, HGLOBAL data) {
    static const HRESULT ole = OleInitialize(nullptr);
    (void)ole;
    RECT rect;
    GetWindowRect(target, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    auto* object = new DataObject(format, data);
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(object, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    object->Release();
    return effect;
}

}  // namespace

HWND WaitDialog(const Quorvel& app, const std::wstring& caption, const std::wstring& childClass,
                DWORD timeoutMs) {
    DialogSearch search{app.ProcessId(), caption, childClass, nullptr};
    WaitFor(
        [&] {
            EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

void PressDialogButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
}

void TypeFileNameAndConfirm(HWND dialog, const std::wstring& text) {
    HWND box = GetDlgItem(dialog, 0x47c);  // cmb13, the file-name box
    HWND edit = box != nullptr ? FindDescendant(box, L"Edit") : GetDlgItem(dialog, 0x480);
    if (edit == nullptr) {
        throw std::runtime_error("no file-name box in the dialog");
    }
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressDialogButton(dialog, IDOK);
}

void ChooseFilter(HWND dialog, int pair) {
    // As a user does: open the file-type box with a click, pick the line with the keys.
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1
    SetForegroundWindow(dialog);
    RECT rect;
    GetWindowRect(types, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    auto send = [](DWORD flags, WORD key) {
        INPUT input = {};
        if (key == 0) {
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flags;
        } else {
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
        }
        SendInput(1, &input, sizeof(input));
        Sleep(30);
    };
    send(MOUSEEVENTF_LEFTDOWN, 0);
    send(MOUSEEVENTF_LEFTUP, 0);
    Sleep(200);
    const int current = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
    const WORD key = pair > current ? VK_DOWN : VK_UP;
    for (int i = 0; i < std::abs(pair - current); ++i) {
        send(0, key);
        send(KEYEVENTF_KEYUP, key);
    }
    send(0, VK_RETURN);
    send(KEYEVENTF_KEYUP, VK_RETURN);
    WaitFor([&] { return SendMessageW(types, CB_GETCURSEL, 0, 0) == pair; }, 2000);
}

int ShownFileCount(HWND dialog) {
    HWND view = FindDescendant(dialog, L"SysListView32");
    return view != nullptr ? static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

bool SelectTreePath(HWND dialog, const std::vector<std::wstring>& labels) {
    HWND tree = FindDescendant(dialog, L"SysTreeView32");
    if (tree == nullptr) {
        return false;
    }
    HTREEITEM level = TreeNext(tree, TVGN_ROOT, nullptr);
    HTREEITEM chosen = nullptr;
    for (const std::wstring& label : labels) {
        HTREEITEM match = nullptr;
        // Items appear as their parent is expanded; give the shell a moment to fill them.
        WaitFor(
            [&] {
                for (HTREEITEM item = level; item != nullptr;
                     item = TreeNext(tree, TVGN_NEXT, item)) {
                    if (LabelMatches(TreeItemText(tree, item), label)) {
                        match = item;
                        return true;
                    }
                }
                return false;
            },
            5000);
        if (match == nullptr) {
            return false;
        }
        chosen = match;
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(match));
        level = TreeNext(tree, TVGN_CHILD, match);
        WaitFor([&] { return (level = TreeNext(tree, TVGN_CHILD, match)) != nullptr; }, 3000);
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(chosen));
    return WaitFor([&] { return TreeNext(tree, TVGN_CARET, nullptr) == chosen; }, 3000);
}

std::wstring DescribeTree(HWND dialog) {
    HWND tree = FindDescendant(dialog, L"SysTreeView32");
    std::wstring text;
    auto describe = [&](auto& self, HTREEITEM first, int depth) -> void {
        for (HTREEITEM item = first; item != nullptr; item = TreeNext(tree, TVGN_NEXT, item)) {
            text += std::wstring(depth * 2, L' ') + TreeItemText(tree, item) + L"\n";
            self(self, TreeNext(tree, TVGN_CHILD, item), depth + 1);
        }
    };
    if (tree != nullptr) {
        describe(describe, TreeNext(tree, TVGN_ROOT, nullptr), 0);
    }
    return text;
}

DWORD DragFilesOnto(HWND target, const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const std::wstring& path : paths) {
        chars += path.size() + 1;
    }
    HGLOBAL data =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(data));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        names += path.size() + 1;
    }
    GlobalUnlock(data);
    return Drag(target, CF_HDROP, data);
}

DWORD DragTextOnto(HWND target, const std::wstring& text) {
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    return Drag(target, CF_UNICODETEXT, data);
}

}  // namespace qdriver
