#include "framework/data_exchange.h"
#include "framework/property_page.h"
#include <vector>

CDataExchange::CDataExchange(CPropertyPage* page, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(page) {}

HWND CDataExchange::PrepareCtrl(int controlId) {
    HWND control = m_pDlgWnd && m_pDlgWnd->m_hWnd ? GetDlgItem(m_pDlgWnd->m_hWnd, controlId) : nullptr;
    if (!control) Fail();
    return control;
}

void DDX_Text(CDataExchange* pDX, int controlId, std::wstring& value) {
    HWND control = pDX->PrepareCtrl(controlId);
    if (!control) return;
    if (!pDX->m_bSaveAndValidate) {
        SetWindowTextW(control, value.c_str());
        return;
    }
    int length = GetWindowTextLengthW(control);
    std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    value.assign(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

namespace {
bool IsRadioButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}
}  // namespace

void DDX_Radio(CDataExchange* pDX, int controlId, int& value) {
    HWND control = pDX->PrepareCtrl(controlId);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    // The group runs from its first control up to the next one carrying WS_GROUP.
    do {
        if (IsRadioButton(control)) {
            if (pDX->m_bSaveAndValidate) {
                if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED && value == -1) value = index;
            } else {
                SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = GetWindow(control, GW_HWNDNEXT);
    } while (control && !(GetWindowLongW(control, GWL_STYLE) & WS_GROUP));
}

void DDX_Check(CDataExchange* pDX, int controlId, int& value) {
    HWND control = pDX->PrepareCtrl(controlId);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
        SendMessageW(control, BM_SETCHECK, state, 0);
    }
}

void DDX_Control(CDataExchange* pDX, int controlId, CWnd& control) {
    if (control.m_hWnd) return;
    HWND window = pDX->PrepareCtrl(controlId);
    if (!window) return;
    control.m_hWnd = window;
    pDX->m_pDlgWnd->RegisterBoundControl(&control);
}
