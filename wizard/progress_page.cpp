#include "wizard/progress_page.h"
#include "app/install_sequence.h"
#include "app/setup_state.h"
#include "foundation/owned_handle.h"
#include "foundation/run_control.h"
#include "framework/property_sheet.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

CLPSProgressPpg::CLPSProgressPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_PROGRESS, IDS_SETUP_CAPTION, IDS_STATUS_TITLE, IDS_STATUS_SUBTITLE),
      m_app(app),
      m_workerId(0),
      m_running(1),
      m_reportWindow(nullptr) {}

CLPSProgressPpg::~CLPSProgressPpg() {
    m_reportWindow.store(nullptr);
    StopWorker();
}

BOOL CLPSProgressPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    return TRUE;
}

BOOL CLPSProgressPpg::OnSetActive() {
    PostWizardButtons(*this, 0);
    // One installation at a time: an arrival while the worker runs starts none.
    if (!m_worker) {
        m_running.store(1);
        m_cleaningUp.store(0);
        m_reportWindow.store(m_hWnd);
        m_worker.Reset(CreateThread(nullptr, 0, &CLPSProgressPpg::InstallWorker, this, 0, &m_workerId));
    }
    return CPropertyPage::OnSetActive();
}

DWORD WINAPI CLPSProgressPpg::InstallWorker(LPVOID parameter) {
    auto* page = static_cast<CLPSProgressPpg*>(parameter);
    if (!page) return 0;
    const CWComScope com;  // apartment-threaded, as CoInitialize(nullptr)
    InstallOutcome outcome;
    // The worker's run: a cancel also ends a long folder copy between two
    // files, so the termination after the bounded wait stays a last resort.
    CWRunControl run(&page->m_running, &page->m_cleaningUp);
    try {
        if (page->m_app) InstallProducts(page->m_app, page, &outcome, &run);
    } catch (...) {
        // A failed run: the package counts as not installed.
        outcome.packageDecoded = 0;
    }
    if (page->m_running.load()) {
        HWND window = page->m_reportWindow.load();
        // Installed only when the package was decoded and every file was written.
        const bool installed = outcome.packageDecoded && outcome.failures == 0;
        if (window) PostMessageW(window, WM_INSTALL_DONE, installed ? 1 : 0, 0);
    }
    return 0;
}

int CLPSProgressPpg::ReportProgress(int stringId, int percent) {
    HWND window = m_reportWindow.load();
    if (window)
        PostMessageW(window, WM_INSTALL_PROGRESS, static_cast<WPARAM>(percent),
                     static_cast<LPARAM>(stringId));
    return m_running.load();
}

BOOL CLPSProgressPpg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_INSTALL_PROGRESS: ShowReport(static_cast<int>(wParam), static_cast<int>(lParam)); break;
        case WM_INSTALL_DONE: OnInstallDone(wParam != 0); break;
        case WM_INSTALL_CANCELED: {
            CPropertySheet* sheet = GetSheet();
            if (sheet && m_app) sheet->SetActivePage(m_app->m_nCancelPage);
            break;
        }
        default: return CPropertyPage::OnMessage(message, wParam, lParam, result);
    }
    if (result) *result = 0;
    return TRUE;
}

void CLPSProgressPpg::ShowReport(int percent, int stringId) {
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    std::wstring text = LoadResourceString(static_cast<UINT>(stringId));
    SetDlgItemTextW(m_hWnd, IDC_PROGRESS_STATUS, text.c_str());
}

void CLPSProgressPpg::OnInstallDone(bool installed) {
    if (m_worker) {
        // The worker has posted its last message; let it finish returning.
        WaitForSingleObject(m_worker.Get(), kStopWaitMs);
        m_worker.Reset();
    }
    if (installed) {
        // Sent, not posted: the wizard moves on now, before later messages.
        SendMessageW(GetSheetWindow(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return;
    }
    // Nothing was installed from a damaged or missing package: no success page.
    CPropertySheet* sheet = GetSheet();
    if (sheet && m_app) sheet->SetActivePage(m_app->m_nCancelPage);
}

BOOL CLPSProgressPpg::OnQueryCancel() {
    StopWorker();
    if (m_hWnd) PostMessageW(m_hWnd, WM_INSTALL_CANCELED, 0, 0);
    return FALSE;
}

void CLPSProgressPpg::StopWorker() {
    if (!m_worker) return;
    const HANDLE worker = m_worker.Get();
    m_running.store(0);
    // The installation stops at its next report; messages sent to this
    // thread meanwhile are answered, posted ones wait in the queue. A worker
    // that is past its last stop and only removes its working folder is let
    // finish: ending it inside a file operation can leave a lock of the
    // process held, and the wizard would hang on it.
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        const bool bounded = !m_cleaningUp.load();
        if (bounded && elapsed >= kStopWaitMs) break;
        const DWORD slice = bounded ? kStopWaitMs - elapsed : kCleanupPollMs;
        DWORD wait = MsgWaitForMultipleObjects(1, &worker, FALSE, slice, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) break;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT) TerminateThread(worker, 0);
    m_worker.Reset();
}
