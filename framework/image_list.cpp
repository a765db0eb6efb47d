#include "framework/image_list.h"
#include "framework/winapp.h"

CImageList::~CImageList() {
    DeleteImageList();
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
    DeleteImageList();
    m_hImageList = ImageList_LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmapId), cx, grow, mask,
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
}

BOOL CImageList::Create(HBITMAP bitmap, int cx, int grow, COLORREF mask) {
    DeleteImageList();
    BITMAP facts = {};
    if (!bitmap || cx <= 0 || !GetObjectW(bitmap, sizeof(facts), &facts) || facts.bmWidth < cx) return FALSE;
    m_hImageList = ImageList_Create(cx, facts.bmHeight, ILC_COLOR24 | ILC_MASK, facts.bmWidth / cx, grow);
    if (m_hImageList && ImageList_AddMasked(m_hImageList, bitmap, mask) < 0) DeleteImageList();
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
