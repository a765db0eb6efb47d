#include "wizard/dpi_bitmap.h"

namespace {

// A memory device context with one bitmap selected, both given back on exit.
class SelectedBitmap {
public:
    explicit SelectedBitmap(HBITMAP bitmap) : m_dc(CreateCompatibleDC(nullptr)) {
        if (m_dc && bitmap) m_old = SelectObject(m_dc, bitmap);
    }
    ~SelectedBitmap() {
        if (m_dc && m_old) SelectObject(m_dc, m_old);
        if (m_dc) DeleteDC(m_dc);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC Dc() const { return m_old ? m_dc : nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

HBITMAP NewDib(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

int ScaleForDpi(int size96, int dpi) {
    return MulDiv(size96, dpi, 96);
}

CWBitmap LoadBitmapForDpi(HINSTANCE module, const wchar_t* name, int dpi) {
    CWBitmap source(LoadBitmapW(module, name));
    if (!source || dpi <= 96) return source;
    BITMAP facts = {};
    if (!GetObjectW(source.Get(), sizeof(facts), &facts) || facts.bmWidth <= 0 || facts.bmHeight <= 0) {
        return CWBitmap();
    }
    const int width = ScaleForDpi(facts.bmWidth, dpi);
    const int height = ScaleForDpi(facts.bmHeight, dpi);
    CWBitmap scaled(NewDib(width, height));
    if (!scaled) return CWBitmap();
    {
        SelectedBitmap from(source.Get());
        SelectedBitmap to(scaled.Get());
        if (!from.Dc() || !to.Dc()) return CWBitmap();
        SetStretchBltMode(to.Dc(), HALFTONE);
        SetBrushOrgEx(to.Dc(), 0, 0, nullptr);
        if (!StretchBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, facts.bmWidth, facts.bmHeight,
                        SRCCOPY)) {
            return CWBitmap();
        }
    }
    return scaled;
}
