#pragma once
// A page of a property sheet: its page record and the overridable operations
// the sheet's notifications are mapped to. One dialog procedure serves every
// page; the page object travels in the record's lParam and lives in the
// dialog's user data (DWLP_USER).
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <vector>
#include "framework/wnd.h"

class CDataExchange;
class CPropertySheet;

class CPropertyPage : public CWnd {
public:
    // Ids of the string table; 0 for none. A header title or subtitle sets
    // the matching PSP_USEHEADER* flag.
    explicit CPropertyPage(UINT templateId, UINT captionId = 0, UINT headerTitleId = 0,
                           UINT headerSubTitleId = 0);
    ~CPropertyPage() override;

    // Dialog initialisation: moves the fields into the controls. TRUE.
    virtual BOOL OnInitDialog();
    // Each arrival on the page; FALSE refuses it.
    virtual BOOL OnSetActive();
    // Leaving the page: reads the controls into the fields; FALSE keeps the page.
    virtual BOOL OnKillActive();
    // 0 goes to the neighbouring page, -1 stays, else a template id.
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    // TRUE lets the sheet close.
    virtual BOOL OnWizardFinish();
    // TRUE lets the sheet close.
    virtual BOOL OnQueryCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Sees the messages of the sheet's loop before they are dispatched;
    // TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void OnTimer(UINT_PTR timerId);
    // WM_COMMAND of the page; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY of the page other than the sheet's; TRUE when handled, with
    // *result as the notification's answer.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Other messages of the page's dialog procedure; TRUE when handled.
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The page window is being destroyed (its controls still exist).
    virtual void OnDestroy();

    // FALSE when a control named by DoDataExchange is missing.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // The sheet window (the page's parent) and its framework object.
    HWND GetSheetWindow() const;
    CPropertySheet* GetSheet() const;

    // Called by DDX_Control: the wrapper forgets its window with the page's.
    void RegisterBoundControl(CWnd* control);

    PROPSHEETPAGEW m_psp;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleSheetNotify(const NMHDR* header);
    void Detach();

    std::vector<CWnd*> m_boundControls;
};
