#include "framework/image_list.h"
#include "framework/winapp.h"

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
    DeleteImageList();
    m_hImageList = ImageList_LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmapId), cx,
                                        grow, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    BOOL done = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return done;
}

int CImageList::GetImageCount() const {
    return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0;
}
