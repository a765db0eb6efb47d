#include "framework/winapp.h"

namespace {
CWinApp* g_application = nullptr;
}

CWinApp::CWinApp(const wchar_t* appName) : m_hInstance(GetModuleHandleW(nullptr)), m_pszAppName(appName) {
    g_application = this;
}

CWinApp::~CWinApp() {
    if (g_application == this) g_application = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance() {
    return 0;
}

CWinApp* AfxGetApp() {
    return g_application;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_application ? g_application->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}
