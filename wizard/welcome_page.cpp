#include "wizard/welcome_page.h"
#include "app/setup_state.h"
#include "foundation/arrays.h"
#include "foundation/registry_version.h"
#include "framework/data_exchange.h"
#include "wizard/blocking_processes.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

CLPSWelcomePpg::CLPSWelcomePpg(CLPSSetupState* app)
    : CPropertyPage(IDD_WELCOME, IDS_SETUP_CAPTION), m_timerId(0), m_app(app) {}

CLPSWelcomePpg::~CLPSWelcomePpg() {
    m_titleFont.Reset();  // the font first, then the timer and the list box
    if (m_timerId && m_hWnd && ::IsWindow(m_hWnd)) KillTimer(m_hWnd, kPollTimer);
}

void CLPSWelcomePpg::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WELCOME_PROCESSES, m_processList);
}

BOOL CLPSWelcomePpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetPageTitle(m_hWnd, IDC_WELCOME_TITLE, &m_titleFont);
    PostWizardButtons(*this, 0);
    if (m_app) {
        HWND sheet = GetSheetWindow();
        SendMessageW(sheet, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_app->m_hIcon));
        SendMessageW(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_app->m_hIcon));
    }
    m_timerId = SetTimer(m_hWnd, kPollTimer, kFirstPollMs, nullptr);
    ShowVersion();
    return TRUE;
}

void CLPSWelcomePpg::ShowVersion() {
    wchar_t text[128] = {};
    wchar_t path[260] = {};
    GetModuleFileNameW(nullptr, path, 259);
    uint64_t version = GetFileVersion(path);
    FormatVersion(text, static_cast<DWORD>(version & 0xFFFFFFFFu), static_cast<DWORD>(version >> 32));
    SetDlgItemTextW(m_hWnd, IDC_WELCOME_VERSION, text);
}

BOOL CLPSWelcomePpg::OnKillActive() {
    // Polling belongs to this page: a tick must not change another page's buttons.
    if (m_timerId) {
        KillTimer(m_hWnd, kPollTimer);
        m_timerId = 0;
    }
    return CPropertyPage::OnKillActive();
}

void CLPSWelcomePpg::OnTimer(UINT_PTR timerId) {
    if (timerId != kPollTimer) return;
    // The first tick comes soon after the page opened, every later one after the period.
    KillTimer(m_hWnd, kPollTimer);
    m_timerId = SetTimer(m_hWnd, kPollTimer, kPollMs, nullptr);
    if (!m_app) return;

    CWPtArray found;
    FindBlockingProcesses(found);
    // Another setup of the product runs: this one waits until it has ended.
    if (!m_app->m_setupLock.TryAcquire()) {
        if (m_otherSetup.empty()) m_otherSetup = LoadResourceString(IDS_OTHER_SETUP_RUNNING);
        found.Add(const_cast<wchar_t*>(m_otherSetup.c_str()));
    }
    m_processList.ResetContent();
    HWND label = GetDlgItem(m_hWnd, IDC_WELCOME_PROCESSES_LABEL);
    if (found.GetCount() == 0) {
        PostWizardButtons(*this, PSWIZB_NEXT);
        KillTimer(m_hWnd, kPollTimer);
        m_timerId = 0;
        ::ShowWindow(label, SW_HIDE);
        m_processList.ShowWindow(SW_HIDE);
        // The page leaves its background to the sheet (the watermark page's
        // white area): have the sheet paint over where the list was.
        RedrawWindow(GetSheetWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    }
    ::ShowWindow(label, SW_SHOW);
    m_processList.ShowWindow(SW_SHOW);
    for (int i = 0; i < found.GetCount(); ++i) {
        m_processList.InsertString(m_processList.GetCount(), static_cast<const wchar_t*>(found.GetAt(i)));
    }
}
