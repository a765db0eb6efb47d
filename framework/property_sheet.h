#pragma once
// A property sheet over PropertySheetW. DoModal runs the sheet modeless
// (PSH_MODELESS) inside its own message loop, so the pages' PreTranslateMessage
// sees every message; Create and PumpMessage let a caller drive the same
// sheet step by step.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <vector>
#include "framework/wnd.h"

// Wizard button command ids of the sheet.
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;

class CPropertyPage;

class CPropertySheet : public CWnd {
public:
    // captionId: string-table id of the caption.
    explicit CPropertySheet(UINT captionId, HWND parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    // Position of the current page; -1 when the sheet has none.
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    // Selects the page at index now (PSM_SETCURSEL); FALSE when refused.
    BOOL SetActivePage(int index);

    // Creates the sheet, runs it until it ends, destroys it. The sheet's
    // result (PSM_GETRESULT), or -1 when it could not be created.
    INT_PTR DoModal();

    // Creates the sheet window (modeless). FALSE on failure.
    BOOL Create();
    // TRUE while the window exists and shows a page.
    BOOL IsRunning() const;
    // Waits up to waitMs for one message of this thread, hands it through
    // the sheet's loop; TRUE when a message was processed.
    BOOL PumpMessage(DWORD waitMs);
    // The loop's step for one message: pages' PreTranslateMessage, then the
    // sheet's dialog keys, then the ordinary dispatch.
    void ProcessMessage(MSG& msg);
    // Destroys the sheet window if there is one (the page windows with it).
    void DestroySheet();
    // Gives the keyboard focus to a visible, enabled control when the active
    // sheet has none there (a disabled or hidden button, a page that went):
    // the default wizard button, else the page's first tab stop, else the
    // sheet's. A focus it placed itself follows the default wizard button
    // once that becomes usable. Cancel is never made the default: Return
    // must not end the sheet. The loop calls it after every message.
    void KeepFocus();

    // The sheet object of a sheet window; null for any other window.
    static CPropertySheet* FromHandle(HWND window);

    PROPSHEETHEADERW m_psh;

private:
    BOOL PreTranslate(MSG& msg);
    CPropertyPage* PageOfWindow(HWND window) const;
    static int CALLBACK SheetCallback(HWND window, UINT message, LPARAM lParam);

    std::vector<CPropertyPage*> m_pages;
    std::vector<PROPSHEETPAGEW> m_records;
    INT_PTR m_result = 0;
    HWND m_placedFocus = nullptr;  // where KeepFocus last put the focus
};
