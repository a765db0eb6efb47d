#pragma once
// An owned common-controls image list.
#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    virtual ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Loads a bitmap resource of the resource module and cuts it into images
    // of width cx; pixels of colour mask become transparent. FALSE on failure.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    // The same from a bitmap the caller keeps (the list copies its pixels).
    BOOL Create(HBITMAP bitmap, int cx, int grow, COLORREF mask);
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    int GetImageCount() const;

private:
    HIMAGELIST m_hImageList = nullptr;
};
