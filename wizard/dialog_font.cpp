#include "wizard/dialog_font.h"

namespace {
// The whole metrics record of the 32-bit program (504 bytes).
constexpr UINT kMetricsSize = sizeof(NONCLIENTMETRICSW);
}  // namespace

int ScreenDpi() {
    const CWWindowDC screen(nullptr);
    if (!screen.Get()) return 96;
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

int FontHeightForPoints(int pointSize, int pixelsPerInch) {
    return (pointSize * pixelsPerInch) / -72;
}

HFONT MakeDialogFont(const wchar_t* face, int pointSize, int bold, int italic) {
    NONCLIENTMETRICSW metrics;
    ZeroMemory(&metrics, sizeof(metrics));
    metrics.cbSize = kMetricsSize;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (bold) font.lfWeight = FW_BOLD;
    if (italic) font.lfItalic = static_cast<BYTE>(italic);
    if (face) lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    font.lfHeight = FontHeightForPoints(pointSize, ScreenDpi());
    return CreateFontIndirectW(&font);
}

void SetDlgItemFont(HWND dialogWindow, int controlId, const wchar_t* face, int pointSize, int bold,
                    int italic, CWFont* fontSlot) {
    if (!fontSlot) return;
    fontSlot->Reset();  // the old font goes before the new one is made
    fontSlot->Reset(MakeDialogFont(face, pointSize, bold, italic));
    if (!*fontSlot) return;
    if (IsWindow(dialogWindow)) {
        SendMessageW(GetDlgItem(dialogWindow, controlId), WM_SETFONT,
                     reinterpret_cast<WPARAM>(fontSlot->Get()), TRUE);
    }
}
