// The owning types release what they hold, and only that.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "foundation/owned_handle.h"

namespace {

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

bool IsOpen(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

HANDLE NewEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

TEST(OwnedHandle, ClosesOnExitResetAndMoveButNotOnDetach) {
    HANDLE gone = nullptr;
    {
        const CWHandle event(NewEvent());
        gone = event.Get();
        EXPECT_TRUE(IsOpen(gone));
    }
    EXPECT_FALSE(IsOpen(gone));

    CWHandle first(NewEvent());
    const HANDLE replaced = first.Get();
    first.Reset(NewEvent());
    EXPECT_FALSE(IsOpen(replaced));
    const HANDLE moved = first.Get();
    CWHandle second(std::move(first));
    EXPECT_FALSE(first);
    CWHandle third(NewEvent());
    const HANDLE overwritten = third.Get();
    third = std::move(second);
    EXPECT_FALSE(IsOpen(overwritten));
    EXPECT_EQ(third.Get(), moved);
    const CWHandle adopted(third.Detach());
    EXPECT_FALSE(third);
    EXPECT_TRUE(IsOpen(adopted.Get()));
    EXPECT_EQ(CWFindHandle().Get(), INVALID_HANDLE_VALUE);
}

TEST(OwnedHandle, RegistryKeyReceivedFromRegCreateKeyExIsClosed) {
    const wchar_t* path = L"Software\\KVN owned handle test";
    HKEY raw = nullptr;
    {
        CWRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key.Receive(), nullptr),
                  ERROR_SUCCESS);
        raw = key.Get();
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

TEST(OwnedHandle, ModuleIsFreed) {
    const wchar_t* name = L"mpr.dll";  // a system DLL this program does not load
    ASSERT_EQ(GetModuleHandleW(name), nullptr);
    {
        const CWModule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        EXPECT_EQ(GetModuleHandleW(name), module.Get());
    }
    EXPECT_EQ(GetModuleHandleW(name), nullptr);
}

class Counted : public IUnknown {
public:
    LONG references = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--references); }
};

TEST(OwnedHandle, ComPointerReleasesItsReference) {
    Counted object;
    {
        CWComPtr<IUnknown> pointer;
        object.QueryInterface(IID_IUnknown, pointer.ReceiveVoid());
        object.QueryInterface(IID_IUnknown, pointer.ReceiveVoid());  // releases the first
        EXPECT_EQ(object.references, 1);
    }
    EXPECT_EQ(object.references, 0);
}

TEST(OwnedHandle, ComScopeUninitialisesWhatItInitialised) {
    {
        const CWComScope outer;
        const CWComScope inner;
        EXPECT_EQ(outer.Result(), S_OK);
        EXPECT_EQ(inner.Result(), S_FALSE);
    }
    const CWComScope again;
    EXPECT_EQ(again.Result(), S_OK);  // both were undone
}

}  // namespace
