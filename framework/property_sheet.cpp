#include "framework/property_sheet.h"
#include "framework/property_page.h"
#include "framework/winapp.h"

namespace {
const wchar_t kSheetProperty[] = L"KVN.PropertySheet";
// The sheet whose window PropertySheetW is creating on this thread: its
// first page is initialised before the window is known.
thread_local CPropertySheet* t_creatingSheet = nullptr;
}  // namespace

CPropertySheet::CPropertySheet(UINT captionId, HWND parent, UINT selectPage) {
    ZeroMemory(&m_psh, sizeof(m_psh));
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hwndParent = parent;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = MAKEINTRESOURCEW(captionId);
    m_psh.nStartPage = selectPage;
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;
}

CPropertySheet::~CPropertySheet() {
    DestroySheet();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (page) m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) return nullptr;
    return m_pages[static_cast<size_t>(index)];
}

int CPropertySheet::GetActiveIndex() const {
    if (!IsWindow()) return -1;
    HWND current = reinterpret_cast<HWND>(Send(PSM_GETCURRENTPAGEHWND));
    if (!current) return -1;
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)]->m_hWnd == current) return i;
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int index) {
    if (!IsWindow() || index < 0 || index >= GetPageCount()) return FALSE;
    return Send(PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

BOOL CPropertySheet::Create() {
    if (IsWindow() || m_pages.empty()) return FALSE;
    m_records.clear();
    for (CPropertyPage* page : m_pages) {
        if (!page->m_psp.hInstance) page->m_psp.hInstance = m_psh.hInstance;
        m_records.push_back(page->m_psp);
    }
    m_psh.dwFlags |= PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;
    m_psh.nPages = static_cast<UINT>(m_records.size());
    m_psh.ppsp = m_records.data();
    m_result = 0;

    CPropertySheet* outer = t_creatingSheet;
    t_creatingSheet = this;
    INT_PTR created = PropertySheetW(&m_psh);
    t_creatingSheet = outer;
    HWND window = created > 0 ? reinterpret_cast<HWND>(created) : nullptr;
    if (!window || !::IsWindow(window)) return FALSE;
    m_hWnd = window;
    SetPropW(window, kSheetProperty, reinterpret_cast<HANDLE>(this));
    return TRUE;
}

int CALLBACK CPropertySheet::SheetCallback(HWND window, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && t_creatingSheet) {
        t_creatingSheet->m_hWnd = window;
        SetPropW(window, kSheetProperty, reinterpret_cast<HANDLE>(t_creatingSheet));
    }
    return 0;
}

CPropertySheet* CPropertySheet::FromHandle(HWND window) {
    if (!window) return nullptr;
    auto* sheet = reinterpret_cast<CPropertySheet*>(GetPropW(window, kSheetProperty));
    if (sheet) return sheet;
    // Pages initialised while PropertySheetW is still creating the window.
    if (t_creatingSheet && (!t_creatingSheet->m_hWnd || t_creatingSheet->m_hWnd == window)) {
        return t_creatingSheet;
    }
    return nullptr;
}

BOOL CPropertySheet::IsRunning() const {
    return IsWindow() && Send(PSM_GETCURRENTPAGEHWND) != 0;
}

CPropertyPage* CPropertySheet::PageOfWindow(HWND window) const {
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd && page->m_hWnd == window) return page;
    }
    return nullptr;
}

BOOL CPropertySheet::PreTranslate(MSG& msg) {
    // The pages on the way from the message's window up to the sheet first,
    // then the active page if it was not among them.
    CPropertyPage* active = GetActivePage();
    bool activeAsked = false;
    for (HWND window = msg.hwnd; window && window != m_hWnd; window = ::GetParent(window)) {
        CPropertyPage* page = PageOfWindow(window);
        if (!page) continue;
        if (page == active) activeAsked = true;
        if (page->PreTranslateMessage(&msg)) return TRUE;
    }
    if (active && !activeAsked && active->PreTranslateMessage(&msg)) return TRUE;
    return FALSE;
}

void CPropertySheet::ProcessMessage(MSG& msg) {
    if (!PreTranslate(msg) && !(IsWindow() && Send(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)))) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KeepFocus();
}

namespace {
bool Usable(HWND window) {
    return window && IsWindowVisible(window) && IsWindowEnabled(window);
}
}  // namespace

void CPropertySheet::KeepFocus() {
    if (!IsWindow() || GetActiveWindow() != m_hWnd) return;
    // The default wizard button.
    HWND preferred = nullptr;
    LRESULT defId = Send(DM_GETDEFID);
    if (HIWORD(defId) == DC_HASDEFID && LOWORD(defId) == IDCANCEL) {
        // Without Back, Next and Finish the system makes Cancel the default,
        // so Return would end the sheet: the hidden or disabled Next (or
        // Finish) stays the default instead, and Return then does nothing.
        const int id = IsWindowVisible(GetDlgItem(m_hWnd, ID_WIZFINISH)) ? ID_WIZFINISH : ID_WIZNEXT;
        Send(DM_SETDEFID, static_cast<WPARAM>(id));
        defId = Send(DM_GETDEFID);
    }
    if (HIWORD(defId) == DC_HASDEFID) {
        const int id = LOWORD(defId);
        HWND button = GetDlgItem(m_hWnd, id);
        if ((id == ID_WIZBACK || id == ID_WIZNEXT || id == ID_WIZFINISH) && Usable(button)) preferred = button;
    }
    HWND focus = GetFocus();
    const bool ours = focus && (focus == m_hWnd || IsChild(m_hWnd, focus));
    if (focus && !ours) return;  // another window of this thread, a message box
    if (ours && focus != m_hWnd && Usable(focus)) {
        // The person's own choice stays; the sheet's own follows the default.
        if (focus != m_placedFocus || !preferred || preferred == focus) return;
    }
    HWND target = preferred;
    if (!target) {
        HWND page = reinterpret_cast<HWND>(Send(PSM_GETCURRENTPAGEHWND));
        if (page) target = GetNextDlgTabItem(page, nullptr, FALSE);
        if (!Usable(target)) target = GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    }
    if (!Usable(target) || target == focus) return;
    Send(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    m_placedFocus = GetFocus();
}

BOOL CPropertySheet::PumpMessage(DWORD waitMs) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (waitMs == 0) return FALSE;
        MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return FALSE;
    }
    if (msg.message == WM_QUIT) {
        // Not ours to swallow: leave it for the loop outside.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return FALSE;
    }
    ProcessMessage(msg);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
    if (!Create()) return -1;
    while (IsRunning()) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        ProcessMessage(msg);
    }
    DestroySheet();
    return m_result;
}

void CPropertySheet::DestroySheet() {
    if (!m_hWnd) return;
    HWND window = m_hWnd;
    if (::IsWindow(window)) {
        m_result = Send(PSM_GETRESULT);
        RemovePropW(window, kSheetProperty);
        DestroyWindow(window);
    }
    m_hWnd = nullptr;
}
