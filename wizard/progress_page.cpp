#include "wizard/progress_page.h"
#include "app/install_sequence.h"
#include "app/setup_state.h"
#include "foundation/owned_handle.h"
#include "foundation/run_control.h"
#include "framework/property_sheet.h"
#include "wizard/dispatching_wait.h"
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
    StopWorker(false);
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
        m_report.Clear();
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
        // The end must reach the page: a post refused while the queue is
        // full is tried again until the page has made room, was cancelled
        // or its window is gone.
        while (window && !PostMessageW(window, WM_INSTALL_DONE, installed ? 1 : 0, 0)) {
            if (!::IsWindow(window) || !page->m_running.load()) break;
            Sleep(10);
            window = page->m_reportWindow.load();
        }
    }
    return 0;
}

int CLPSProgressPpg::ReportProgress(int stringId, int percent) {
    HWND window = m_reportWindow.load();
    if (window && m_report.Store(percent, stringId) && !PostMessageW(window, WM_INSTALL_PROGRESS, 0, 0))
        m_report.PostFailed();
    return m_running.load();
}

BOOL CLPSProgressPpg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_INSTALL_PROGRESS: ShowLatestReport(); break;
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

void CLPSProgressPpg::ShowLatestReport() {
    int percent = 0, stringId = 0;
    if (!m_report.Take(&percent, &stringId)) return;
    SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    std::wstring text = LoadResourceString(static_cast<UINT>(stringId));
    SetDlgItemTextW(m_hWnd, IDC_PROGRESS_STATUS, text.c_str());
}

void CLPSProgressPpg::OnInstallDone(bool installed) {
    // The run's last report, whose message may still be on its way.
    ShowLatestReport();
    if (m_worker) {
        // The worker has posted its last message; let it finish returning.
        m_finishing = true;
        WaitForWorker(kStopWaitMs, true);
        m_finishing = false;
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
    // A cancel during a wait for the worker: that wait already stops it.
    if (m_stopping) return FALSE;
    if (m_finishing) {
        m_running.store(0);
        if (m_hWnd) PostMessageW(m_hWnd, WM_INSTALL_CANCELED, 0, 0);
        return FALSE;
    }
    StopWorker(true);
    if (m_hWnd) PostMessageW(m_hWnd, WM_INSTALL_CANCELED, 0, 0);
    return FALSE;
}

DWORD CLPSProgressPpg::WaitForWorker(DWORD ms, bool dispatch) {
    if (!dispatch) return WaitForSingleObject(m_worker.Get(), ms);
    return WaitDispatching(m_worker.Get(), ms, GetSheet(), WM_INSTALL_CANCELED, WM_INSTALL_DONE);
}

void CLPSProgressPpg::StopWorker(bool dispatch) {
    if (!m_worker) return;
    m_running.store(0);
    m_stopping = true;
    // The installation stops at its next report. Meanwhile the window keeps
    // answering; the page's own messages wait in the queue. A worker that
    // is past its last stop and only removes its working folder is let
    // finish: ending it inside a file operation can leave a lock of the
    // process held, and the wizard would hang on it.
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        const bool bounded = !m_cleaningUp.load();
        if (bounded && elapsed >= kStopWaitMs) break;
        const DWORD slice = bounded ? kStopWaitMs - elapsed : kCleanupPollMs;
        const DWORD wait = WaitForWorker(bounded && slice < kCleanupPollMs ? slice : kCleanupPollMs, dispatch);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) break;
    }
    const HANDLE worker = m_worker.Get();
    if (WaitForSingleObject(worker, 0) == WAIT_TIMEOUT) TerminateThread(worker, 0);
    m_worker.Reset();
    m_stopping = false;
}
