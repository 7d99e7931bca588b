#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include "platform/platform_state.h"
#include "platform/wide.h"

namespace quorvel::platform {

namespace {

FORMATETC FileListFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool OffersFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

// The dropped paths in the drag source's order, joined by LF.
std::string DroppedPaths(IDataObject* data) {
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        return {};
    }
    std::wstring joined;
    auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring path;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        path.assign(static_cast<size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (i > 0) {
            joined += L'\n';
        }
        joined += path;
    }
    ReleaseStgMedium(&medium);
    return Narrow(joined);
}

class FileDropTarget final : public IDropTarget {
  public:
    explicit FileDropTarget(int control) : control_(control) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
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

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        accepting_ = OffersFiles(data);
        *effect = Effect(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = Effect(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        accepting_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = Effect(*effect);
        accepting_ = false;
        if (*effect == DROPEFFECT_NONE || !OffersFiles(data)) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        Event event;
        event.kind = EventKind::Drop;
        event.control = control_;
        event.format = DropFormat::Files;
        event.droppedFiles = DroppedPaths(data);
        QueueEvent(std::move(event));
        return S_OK;
    }

  private:
    DWORD Effect(DWORD allowed) const {
        return accepting_ && (allowed & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }

    LONG references_ = 1;
    int control_;
    bool accepting_ = false;
};

}  // namespace

IDropTarget* NewFileDropTarget(int control) {
    return new FileDropTarget(control);
}

}  // namespace quorvel::platform
