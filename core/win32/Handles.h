// Scoped owners for every kind of handle the program holds: kernel objects, registry keys,
// GDI objects and their selection into a DC, window DCs, paints, icons, menus, libraries and
// COM interfaces. Each frees what it owns when it goes, so nothing outlives its use.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace hexalune::win32 {

// Owns one handle and frees it with `Free`; a null handle owns nothing.
template <typename Handle, auto Free>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~Owned() { Reset(); }

    void Reset(Handle handle = nullptr) {
        if (handle_) Free(handle_);
        handle_ = handle;
    }
    Handle Get() const { return handle_; }
    // For a function that hands a new handle out through a pointer: what was owned goes first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    // After a call that failed: what it left in the handle is no handle to free.
    void Forget() { handle_ = nullptr; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

inline void FreeKernelObject(HANDLE handle) { CloseHandle(handle); }
inline void FreeKey(HKEY key) { RegCloseKey(key); }
inline void FreeGdiObject(HGDIOBJ object) { DeleteObject(object); }
inline void FreeIcon(HICON icon) { DestroyIcon(icon); }
inline void FreeMenu(HMENU menu) { DestroyMenu(menu); }
inline void FreeLoadedLibrary(HMODULE library) { FreeLibrary(library); }

using KernelObject = Owned<HANDLE, FreeKernelObject>;
using RegistryKey = Owned<HKEY, FreeKey>;
template <typename Handle>
using GdiObject = Owned<Handle, FreeGdiObject>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Icon = Owned<HICON, FreeIcon>;
using Menu = Owned<HMENU, FreeMenu>;
using Library = Owned<HMODULE, FreeLoadedLibrary>;  // from LoadSystemLibrary

// A window's DC (or the screen's, for no window) from GetDC, released at the end of the scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// One reference to a COM interface, released when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds (a new object's first one, say).
    explicit ComPtr(Interface* adopted) : p_(adopted) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }

    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    Interface* Get() const { return p_; }
    Interface* operator->() const { return p_; }
    // For a function that hands out a new reference through a pointer.
    Interface** Receive() {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Interface* p_ = nullptr;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &paint_); }
    HDC Dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// A function of a loaded module, or null (from a module that lacks it, or from none).
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // Through the generic function pointer type, so that no compiler objects to the cast.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A user32 function that older systems lack, or null.
template <typename Function>
Function User32Function(const char* name) {
    return ModuleFunction<Function>(GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace hexalune::win32
