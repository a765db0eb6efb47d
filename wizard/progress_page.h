#pragma once
// Position 4: runs the installation on a worker thread and shows its reports
// as a status line and a progress bar.
#include <atomic>
#include "foundation/owned_handle.h"
#include "framework/property_page.h"
#include "package/product_installer_callback.h"
#include "wizard/latest_report.h"

class CLPSSetupState;

// Private messages of the page, posted to its own window and handled by its
// window procedure, so they are handled once each and in posting order by
// whichever loop dispatches them: the sheet's, or a modal loop of the system
// (moving the window, a menu, a message box). From WM_APP on: the dialog
// manager reads WM_USER + 1 and + 2 as its own messages.
constexpr UINT WM_INSTALL_CANCELED = WM_APP + 1;  // the worker has been stopped
constexpr UINT WM_INSTALL_PROGRESS = WM_APP + 2;  // the newest report is waiting (m_report)
constexpr UINT WM_INSTALL_DONE = WM_APP + 3;      // wParam: 1 the package was installed

class CLPSProgressPpg : public CPropertyPage, public IProductInstallerCallbak {
public:
    explicit CLPSProgressPpg(CLPSSetupState* app);
    ~CLPSProgressPpg() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnQueryCancel() override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Worker thread: keeps the report for the page (telling it with a
    // message when none is waiting) and answers whether to go on.
    int ReportProgress(int stringId, int percent) override;
    void ReservedOperation(int, int) override {}

    static DWORD WINAPI InstallWorker(LPVOID parameter);
    // The reports the current run has made so far.
    long ReportsMade() const { return m_report.Stored(); }

    // How long a cancel waits for the worker before ending it by force.
    static constexpr DWORD kStopWaitMs = 3000;
    // How often the wait looks again whether the worker began its cleanup.
    static constexpr DWORD kCleanupPollMs = 100;

    CLPSSetupState* m_app;
    CWHandle m_worker;  // none when no worker runs or once it is closed
    DWORD m_workerId;
    std::atomic<int> m_running;

private:
    // Set by the worker once only the removal of its working folder is left.
    std::atomic<int> m_cleaningUp{0};
    // Set while a wait for the worker dispatches messages: a cancel that
    // comes in meanwhile must not start a second wait on the same worker.
    bool m_stopping = false;
    bool m_finishing = false;
    CLPSLatestReport m_report;
    // Clears the running flag, waits for the worker (ending it after
    // kStopWaitMs unless it is only removing its working folder) and closes
    // its handle. While waiting, the window keeps answering when dispatch is
    // true (the page's own messages stay queued for after the wait).
    void StopWorker(bool dispatch);
    DWORD WaitForWorker(DWORD ms, bool dispatch);
    void ShowLatestReport();
    void OnInstallDone(bool installed);

    std::atomic<HWND> m_reportWindow;
};
