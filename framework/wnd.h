#pragma once
// The thin window wrapper every framework object that stands for a window
// derives from: it only remembers the window handle (it owns nothing).
#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return m_hWnd ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
    }
    BOOL Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return m_hWnd ? ::PostMessageW(m_hWnd, message, wParam, lParam) : FALSE;
    }
    BOOL ShowWindow(int command) const { return m_hWnd ? ::ShowWindow(m_hWnd, command) : FALSE; }

    HWND m_hWnd = nullptr;
};
