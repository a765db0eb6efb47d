#pragma once
// Owning types for the system's handles: each closes what it holds when it
// goes out of scope, so no path out of a function forgets a release.
#include <windows.h>
#include <objbase.h>  // CoInitializeEx, CoUninitialize (WIN32_LEAN_AND_MEAN leaves it out)

#include <utility>

// One handle of the kind Traits describes: Traits::Handle, the value that
// means "none" (Traits::None()) and the call that releases one (Traits::Close).
template <typename Traits>
class CWOwned {
public:
    using Handle = typename Traits::Handle;

    CWOwned() noexcept : m_handle(Traits::None()) {}
    explicit CWOwned(Handle handle) noexcept : m_handle(handle) {}
    ~CWOwned() { Close(); }
    CWOwned(const CWOwned&) = delete;
    CWOwned& operator=(const CWOwned&) = delete;
    CWOwned(CWOwned&& other) noexcept : m_handle(other.Detach()) {}
    CWOwned& operator=(CWOwned&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    Handle Get() const noexcept { return m_handle; }
    bool Valid() const noexcept { return m_handle != Traits::None(); }
    explicit operator bool() const noexcept { return Valid(); }

    // Releases what it holds and takes handle instead.
    void Reset(Handle handle = Traits::None()) noexcept {
        if (handle == m_handle) return;
        Close();
        m_handle = handle;
    }
    // Gives up ownership without releasing.
    Handle Detach() noexcept { return std::exchange(m_handle, Traits::None()); }
    // Releases what it holds and lends its slot to a call that writes a new
    // handle there (RegCreateKeyExW(..., key.Receive(), ...)).
    Handle* Receive() noexcept {
        Close();
        return &m_handle;
    }
    void Close() noexcept {
        if (Valid()) Traits::Close(std::exchange(m_handle, Traits::None()));
    }

private:
    Handle m_handle;
};

struct CWKernelHandleTraits {  // processes, threads, mutexes, events
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

struct CWFileHandleTraits {  // CreateFileW: INVALID_HANDLE_VALUE means none
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

struct CWFindHandleTraits {  // FindFirstFileW
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};

struct CWRegKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle key) { RegCloseKey(key); }
};

struct CWModuleTraits {  // LoadLibraryW, LoadLibraryExW
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static void Close(Handle module) { FreeLibrary(module); }
};

template <typename GdiHandle>
struct CWGdiObjectTraits {  // fonts, bitmaps, brushes, pens
    using Handle = GdiHandle;
    static Handle None() { return nullptr; }
    static void Close(Handle object) { DeleteObject(object); }
};

using CWHandle = CWOwned<CWKernelHandleTraits>;
using CWFileHandle = CWOwned<CWFileHandleTraits>;
using CWFindHandle = CWOwned<CWFindHandleTraits>;
using CWRegKey = CWOwned<CWRegKeyTraits>;
using CWModule = CWOwned<CWModuleTraits>;
using CWFont = CWOwned<CWGdiObjectTraits<HFONT>>;
using CWBitmap = CWOwned<CWGdiObjectTraits<HBITMAP>>;
using CWBrush = CWOwned<CWGdiObjectTraits<HBRUSH>>;

// A device context taken with GetDC, given back with ReleaseDC.
class CWWindowDC {
public:
    explicit CWWindowDC(HWND window) noexcept : m_window(window), m_dc(GetDC(window)) {}
    ~CWWindowDC() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CWWindowDC(const CWWindowDC&) = delete;
    CWWindowDC& operator=(const CWWindowDC&) = delete;
    HDC Get() const noexcept { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// One reference to a COM object, released when it goes out of scope.
template <typename Interface>
class CWComPtr {
public:
    CWComPtr() noexcept : m_object(nullptr) {}
    ~CWComPtr() { Release(); }
    CWComPtr(const CWComPtr&) = delete;
    CWComPtr& operator=(const CWComPtr&) = delete;

    Interface* Get() const noexcept { return m_object; }
    Interface* operator->() const noexcept { return m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

    // Releases what it holds and lends its slot to a call that writes a new
    // reference there, typed for CoCreateInstance and QueryInterface.
    void** ReceiveVoid() noexcept {
        Release();
        return reinterpret_cast<void**>(&m_object);
    }
    Interface** Receive() noexcept {
        Release();
        return &m_object;
    }
    void Release() noexcept {
        if (m_object) std::exchange(m_object, nullptr)->Release();
    }

private:
    Interface* m_object;
};

// COM on the calling thread for one scope: CoInitializeEx on construction,
// CoUninitialize on exit when the initialisation succeeded (S_OK or S_FALSE).
class CWComScope {
public:
    explicit CWComScope(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : m_result(CoInitializeEx(nullptr, model)) {}
    ~CWComScope() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    CWComScope(const CWComScope&) = delete;
    CWComScope& operator=(const CWComScope&) = delete;
    HRESULT Result() const noexcept { return m_result; }

private:
    HRESULT m_result;
};
