#pragma once
// Data exchange between a page's fields and its controls: UpdateData builds
// a CDataExchange and hands it to the page's DoDataExchange, whose DDX_ calls
// copy in the direction the exchange names.
#include <windows.h>
#include <string>

class CWnd;
class CPropertyPage;

class CDataExchange {
public:
    CDataExchange(CPropertyPage* page, BOOL saveAndValidate);
    // The control of the page with the given id; null (and the exchange
    // marked failed) when the page has no such control.
    HWND PrepareCtrl(int controlId);
    void Fail() { m_bFailed = TRUE; }

    BOOL m_bSaveAndValidate;  // TRUE: controls into fields; FALSE: fields into controls
    CPropertyPage* m_pDlgWnd;
    BOOL m_bFailed = FALSE;
};

// Window text of an edit or static control.
void DDX_Text(CDataExchange* pDX, int controlId, std::wstring& value);
// Radio group starting at controlId (the control carrying WS_GROUP): the
// index of the checked button among the group's radio buttons, -1 for none.
void DDX_Radio(CDataExchange* pDX, int controlId, int& value);
// Check box: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int controlId, int& value);
// Binds a wrapper object to the control (once; later exchanges keep it).
void DDX_Control(CDataExchange* pDX, int controlId, CWnd& control);
