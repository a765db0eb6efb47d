#pragma once
// The application base of our small GUI framework layer: one static
// application object whose InitInstance the program's entry point calls.
#include <windows.h>

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program without entering a message loop.
    virtual BOOL InitInstance();
    // The message loop entered when InitInstance returns TRUE; its exit code.
    virtual int Run();
    // The program's exit code when InitInstance returns FALSE (0 here).
    virtual int ExitInstance();

    HINSTANCE m_hInstance;  // the program's module (resources come from it)
    const wchar_t* m_pszAppName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
