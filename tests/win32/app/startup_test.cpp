// Start-up of the application object: the state is prepared before the
// wizard shows, and InitInstance returns FALSE once the wizard has closed.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include <gtest/gtest.h>

#include "app/product_names.h"
#include "program/setup_app.h"
#include "wizard/resource_ids.h"

namespace {

struct StartUp {
    CKVNBarcodeSetupApp* app;
    BOOL result;
};

DWORD WINAPI RunStartUp(void* parameter) {
    StartUp* start = static_cast<StartUp*>(parameter);
    start->result = start->app->InitInstance();
    return 0;
}

struct SheetSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK FindSheet(HWND window, LPARAM parameter) {
    SheetSearch* search = reinterpret_cast<SheetSearch*>(parameter);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (GetWindowThreadProcessId(window, nullptr) == search->thread && IsWindowVisible(window) &&
        std::wstring(className) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(StartUp, InitInstancePreparesTheRunAndEndsWhenTheWizardCloses) {
    CKVNBarcodeSetupApp app;
    app.m_hInstance = GetModuleHandleW(nullptr);
    StartUp start{&app, TRUE};
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunStartUp, &start, 0, &threadId);
    ASSERT_NE(nullptr, thread);

    SheetSearch search{threadId, nullptr};
    for (int waited = 0; waited < 300 && !search.found; ++waited) {
        Sleep(100);
        EnumWindows(FindSheet, reinterpret_cast<LPARAM>(&search));
    }
    ASSERT_NE(nullptr, search.found) << "the wizard did not show";

    // Everything the pages read was in place before the wizard showed.
    EXPECT_NE(nullptr, app.m_hIcon);
    EXPECT_EQ(LoadIconW(app.m_hInstance, MAKEINTRESOURCEW(IDI_SETUP)), app.m_hIcon);
    ASSERT_EQ(4, app.m_products.GetCount());
    EXPECT_EQ(kProductTools, app.m_products.GetAt(0)->id);
    EXPECT_STREQ(L"Help Documentation", app.m_products.GetAt(1)->GetName());
    std::wstring install = app.m_paths.InstallDir;
    EXPECT_NE(std::wstring::npos, install.find(L"\\" KVN_NAME_INSTALL_SUBFOLDER));
    EXPECT_NE(0, app.m_paths.SystemDir[0]);
    EXPECT_EQ(6, app.m_nCancelPage);

    // Cancel on the welcome page closes the wizard at once.
    PostMessageW(search.found, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 30000));
    CloseHandle(thread);
    EXPECT_EQ(FALSE, start.result);
}

}  // namespace
