// Move-only owners for the handles the platform keeps.
#pragma once

#include <windows.h>

#include <utility>

namespace quorvel::platform {

template <typename T, typename Traits>
class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(T value) : value_(value) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.value_, Traits::Invalid()));
        }
        return *this;
    }
    ~Scoped() { Reset(); }

    T Get() const { return value_; }
    bool Valid() const { return Traits::IsValid(value_); }
    explicit operator bool() const { return Valid(); }
    T Release() { return std::exchange(value_, Traits::Invalid()); }
    void Reset(T value = Traits::Invalid()) {
        if (Traits::IsValid(value_)) {
            Traits::Close(value_);
        }
        value_ = value;
    }

  private:
    T value_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static bool IsValid(HFONT h) { return h != nullptr; }
    static void Close(HFONT h) { ::DeleteObject(h); }
};

struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};

struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool IsValid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};

using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;
using ScopedFont = Scoped<HFONT, FontTraits>;
using ScopedIcon = Scoped<HICON, IconTraits>;
using ScopedModule = Scoped<HMODULE, ModuleTraits>;
using ScopedWindow = Scoped<HWND, WindowTraits>;

}  // namespace quorvel::platform
