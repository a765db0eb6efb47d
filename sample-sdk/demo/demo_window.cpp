#include "sample-sdk/demo/demo_window.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

#include "foundation/owned_handle.h"

namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 320;
constexpr int kMaxModules = 512;
constexpr RECT kBarcodeArea = {20, 56, 540, 196};
constexpr COLORREF kScanLineColour = RGB(220, 40, 40);

struct DemoState {
  const RuntimeLibrary* runtime = nullptr;
  CWFont font;
  CWFont titleFont;
  unsigned char modules[kMaxModules] = {};
  int moduleCount = 0;
  bool fromRuntime = false;
  wchar_t versionText[160] = {};
  wchar_t readBackText[160] = {};
};

// A fixed pattern that looks like a barcode, for when the runtime is missing.
int FallbackPattern(unsigned char* modules) {
  unsigned seed = 0x4B564Eu;
  int count = 0;
  for (int i = 0; i < 10; ++i) modules[count++] = 0;
  unsigned char bar = 1;
  while (count < 166) {
    seed = seed * 1103515245u + 12345u;
    const int width = 1 + static_cast<int>((seed >> 16) % 3);
    for (int i = 0; i < width && count < 166; ++i) modules[count++] = bar;
    bar = bar ? 0 : 1;
  }
  for (int i = 0; i < 10; ++i) modules[count++] = 0;
  return count;
}

int ModulePixels(const DemoState& state) {
  if (state.moduleCount <= 0) return 1;
  const int width = (kBarcodeArea.right - kBarcodeArea.left) / state.moduleCount;
  return width > 0 ? width : 1;
}

void PrepareTexts(DemoState* state) {
  const RuntimeLibrary& runtime = *state->runtime;
  KvnVersion version = {};
  if (runtime.IsLoaded() && runtime.GetVersion(&version) == 0) {
    std::swprintf(state->versionText, 160, L"Runtime: KVNBarcodeRT.dll %u.%u.%u.%u",
                  version.major, version.minor, version.patch, version.build);
  } else {
    std::swprintf(state->versionText, 160,
                  L"Runtime: KVNBarcodeRT.dll not found (install the main components)");
  }

  const int count = runtime.Encode(kDemoBarcodeText, state->modules, kMaxModules);
  if (count > 0) {
    state->moduleCount = count;
    state->fromRuntime = true;
  } else {
    state->moduleCount = FallbackPattern(state->modules);
    std::swprintf(state->readBackText, 160, L"Read back: (sample pattern, no runtime)");
    return;
  }

  // Read the barcode back the way a scanner sees one line of it.
  const int scale = ModulePixels(*state) < 4 ? ModulePixels(*state) : 4;
  unsigned char line[kMaxModules * 4];
  const int pixels = count * scale;
  for (int i = 0; i < pixels; ++i) line[i] = state->modules[i / scale] ? 0 : 255;
  char text[128] = {};
  const int result = runtime.Decode(line, pixels, text, sizeof text);
  if (result >= 0) {
    std::swprintf(state->readBackText, 160, L"Read back: %hs", text);
  } else {
    std::swprintf(state->readBackText, 160, L"Read back failed: %hs", runtime.ResultText(result));
  }
}

HFONT MessageFont(int pointsDelta, bool bold) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
      return nullptr;
  }
  LOGFONTW font = metrics.lfMessageFont;
  if (pointsDelta) font.lfHeight = font.lfHeight < 0 ? font.lfHeight - pointsDelta : font.lfHeight + pointsDelta;
  if (bold) font.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&font);
}

HWND AddControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id,
                int x, int y, int width, int height, HFONT font) {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                 height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                                 nullptr);
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void CreateControls(HWND window, DemoState* state) {
  state->font.Reset(MessageFont(0, false));
  state->titleFont.Reset(MessageFont(6, true));
  AddControl(window, L"STATIC", L"Korvane\u00AE Barcode Reader SDK", SS_LEFT, -1, 20, 16, 520, 30,
             state->titleFont.Get());
  AddControl(window, L"STATIC", state->versionText, SS_LEFT | SS_NOPREFIX, kVersionLabelId, 20, 212,
             520, 18, state->font.Get());
  AddControl(window, L"STATIC", state->readBackText, SS_LEFT | SS_NOPREFIX, kReadBackLabelId, 20,
             234, 520, 18, state->font.Get());
  HWND close = AddControl(window, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL, 440,
                          274, 100, 28, state->font.Get());
  if (close) SetFocus(close);
}

void Paint(HWND window, const DemoState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  RECT area = kBarcodeArea;
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));

  const int scale = ModulePixels(state);
  const int width = scale * state.moduleCount;
  const int left = area.left + ((area.right - area.left) - width) / 2;
  const int top = area.top + 12;
  const int bottom = area.bottom - 34;
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  for (int i = 0; i < state.moduleCount; ++i) {
    if (!state.modules[i]) continue;
    RECT bar = {left + i * scale, top, left + (i + 1) * scale, bottom};
    FillRect(dc, &bar, black);
  }
  // The scanner's line across the symbol.
  if (const CWBrush red(CreateSolidBrush(kScanLineColour)); red) {
    const int middle = (top + bottom) / 2;
    RECT line = {area.left + 6, middle - 1, area.right - 6, middle + 1};
    FillRect(dc, &line, red.Get());
  }
  wchar_t caption[64] = {};
  if (state.fromRuntime) {
    MultiByteToWideChar(CP_ACP, 0, kDemoBarcodeText, -1, caption, 64);
  } else {
    std::wcscpy(caption, L"no runtime");
  }
  HGDIOBJ oldFont = state.font ? SelectObject(dc, state.font.Get()) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  RECT textArea = {area.left, bottom + 4, area.right, area.bottom - 4};
  DrawTextW(dc, caption, -1, &textArea, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (oldFont) SelectObject(dc, oldFont);
  EndPaint(window, &paint);
}

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DemoState* state = reinterpret_cast<DemoState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE:
      if (state) CreateControls(window, state);
      return 0;
    case WM_PAINT:
      if (state) {
        Paint(window, *state);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
        DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int RunDemoWindow(HINSTANCE instance, const RuntimeLibrary& runtime, int show) {
  DemoState state;
  state.runtime = &runtime;
  PrepareTexts(&state);

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DemoProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kDemoWindowClass;
  if (!RegisterClassExW(&windowClass)) return 1;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND window = CreateWindowExW(0, kDemoWindowClass, kDemoWindowTitle, style, x > 0 ? x : 0,
                                y > 0 ? y : 0, width, height, nullptr, nullptr, instance, &state);
  int exitCode = 1;
  if (window) {
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    BOOL got;
    exitCode = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
      if (got == -1) {
        exitCode = 1;
        break;
      }
      if (IsDialogMessageW(window, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  UnregisterClassW(kDemoWindowClass, instance);
  return exitCode;
}
