#include "framework/property_page.h"
#include "framework/data_exchange.h"
#include "framework/property_sheet.h"
#include "framework/winapp.h"

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId, UINT headerTitleId, UINT headerSubTitleId) {
    ZeroMemory(&m_psp, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    // Like the framework it stands in for, a page starts with a Help button.
    m_psp.dwFlags = PSP_DEFAULT | PSP_HASHELP;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = &CPropertyPage::DialogProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (captionId) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = MAKEINTRESOURCEW(captionId);
    }
    if (headerTitleId) {
        m_psp.dwFlags |= PSP_USEHEADERTITLE;
        m_psp.pszHeaderTitle = MAKEINTRESOURCEW(headerTitleId);
    }
    if (headerSubTitleId) {
        m_psp.dwFlags |= PSP_USEHEADERSUBTITLE;
        m_psp.pszHeaderSubTitle = MAKEINTRESOURCEW(headerSubTitleId);
    }
}

CPropertyPage::~CPropertyPage() {
    // A window that outlives its page must not reach the destroyed object.
    if (m_hWnd && ::IsWindow(m_hWnd)) SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    Detach();
}

BOOL CPropertyPage::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnSetActive() {
    return TRUE;
}
BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}
LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}
LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}
BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}
BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}
void CPropertyPage::DoDataExchange(CDataExchange*) {}
BOOL CPropertyPage::PreTranslateMessage(MSG*) {
    return FALSE;
}
void CPropertyPage::OnTimer(UINT_PTR) {}
BOOL CPropertyPage::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}
BOOL CPropertyPage::OnNotify(WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
BOOL CPropertyPage::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}
void CPropertyPage::OnDestroy() {}

BOOL CPropertyPage::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.m_bFailed;
}

HWND CPropertyPage::GetSheetWindow() const {
    return m_hWnd ? ::GetParent(m_hWnd) : nullptr;
}

CPropertySheet* CPropertyPage::GetSheet() const {
    return CPropertySheet::FromHandle(GetSheetWindow());
}

void CPropertyPage::RegisterBoundControl(CWnd* control) {
    m_boundControls.push_back(control);
}

void CPropertyPage::Detach() {
    for (CWnd* control : m_boundControls) control->m_hWnd = nullptr;
    m_boundControls.clear();
    m_hWnd = nullptr;
}

INT_PTR CALLBACK CPropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CPropertyPage* page = nullptr;
    if (message == WM_INITDIALOG) {
        // lParam is the sheet's copy of the page record.
        const PROPSHEETPAGEW* record = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        page = record ? reinterpret_cast<CPropertyPage*>(record->lParam) : nullptr;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        if (page) page->m_hWnd = window;
    } else {
        page = reinterpret_cast<CPropertyPage*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!page) return FALSE;
    INT_PTR handled = page->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        page->Detach();
    }
    return handled;
}

INT_PTR CPropertyPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header && header->hwndFrom == GetSheetWindow() && HandleSheetNotify(header)) return TRUE;
            if (OnNotify(wParam, lParam, &result)) {
                SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        case WM_COMMAND: return OnCommand(wParam, lParam);
        case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return FALSE;
        case WM_DESTROY: OnDestroy(); return FALSE;
        default:
            if (OnMessage(message, wParam, lParam, &result)) {
                SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
    }
}

BOOL CPropertyPage::HandleSheetNotify(const NMHDR* header) {
    LRESULT result = 0;
    switch (header->code) {
        case PSN_SETACTIVE:
            result = OnSetActive() ? 0 : -1;
            // Wizard97 sheets paint the watermark or the header around the page:
            // repaint the whole frame for the page that is coming.
            if (result == 0) InvalidateRect(GetSheetWindow(), nullptr, TRUE);
            break;
        case PSN_KILLACTIVE: result = OnKillActive() ? FALSE : TRUE; break;
        case PSN_WIZBACK: result = OnWizardBack(); break;
        case PSN_WIZNEXT: result = OnWizardNext(); break;
        case PSN_WIZFINISH: result = OnWizardFinish() ? FALSE : TRUE; break;
        case PSN_QUERYCANCEL: result = OnQueryCancel() ? FALSE : TRUE; break;
        case PSN_APPLY: result = PSNRET_NOERROR; break;
        default: return FALSE;
    }
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
