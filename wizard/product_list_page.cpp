#include "wizard/product_list_page.h"
#include "app/setup_state.h"
#include "framework/data_exchange.h"
#include "framework/winapp.h"
#include "wizard/dpi_bitmap.h"
#include "wizard/page_support.h"
#include "wizard/resource_ids.h"

namespace {
// Posted to the page after a key press on the tree, so the boxes are read
// once the tree has toggled them.
constexpr UINT kSyncBoxesMessage = WM_APP + 10;
}  // namespace

CLPSProductListPpg::CLPSProductListPpg(CLPSSetupState* app)
    : CPropertyPage(IDD_PRODUCT_LIST, IDS_SETUP_CAPTION, IDS_COMPONENTS_TITLE, IDS_COMPONENTS_SUBTITLE),
      m_app(app) {}

void CLPSProductListPpg::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRODUCT_LIST_TREE, m_tree);
    DDX_Text(pDX, IDC_PRODUCT_LIST_DESCRIPTION, m_description);
}

BOOL CLPSProductListPpg::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    // Boxes of 16 pixels at 96 DPI, growing with the DPI like the text.
    const int dpi = ScreenDpi();
    // The image list keeps a copy; the bitmap goes once the if ends.
    if (const CWBitmap boxes =
            LoadBitmapForDpi(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_STATE_IMAGES), dpi)) {
        m_stateImages.Create(boxes.Get(), ScaleForDpi(16, dpi), 2, RGB(255, 255, 255));
    }
    m_treeOwnStateImages = m_tree.SetImageList(&m_stateImages, TVSIL_STATE);
    // Rows at least as tall as the boxes (the tree sizes them by the text).
    int boxWidth = 0, boxHeight = 0;
    if (ImageList_GetIconSize(m_stateImages.GetSafeHandle(), &boxWidth, &boxHeight) &&
        m_tree.Send(TVM_GETITEMHEIGHT) < boxHeight) {
        m_tree.Send(TVM_SETITEMHEIGHT, static_cast<WPARAM>(boxHeight));
    }
    if (!m_app) return TRUE;

    HTREEITEM previous = nullptr;
    for (int i = 0; i < m_app->m_products.GetCount(); ++i) {
        CLPProduct* product = m_app->m_products.GetAt(i);
        if (!product) continue;
        HTREEITEM item =
            m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, product->GetName(), 0, 0, 0, 0,
                              reinterpret_cast<LPARAM>(product), TVI_ROOT, previous ? previous : TVI_LAST);
        if (item) previous = item;
    }
    // Every box starts crossed, as every component starts selected.
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item)) {
        m_tree.SetItemState(item, INDEXTOSTATEIMAGEMASK(kBoxCrossed), TVIS_STATEIMAGEMASK);
    }
    return TRUE;
}

BOOL CLPSProductListPpg::OnSetActive() {
    PostWizardButtons(*this, PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

BOOL CLPSProductListPpg::OnKillActive() {
    SyncSelectionFromBoxes();
    return CPropertyPage::OnKillActive();
}

CLPProduct* CLPSProductListPpg::ProductOf(HTREEITEM item) const {
    return item ? reinterpret_cast<CLPProduct*>(m_tree.GetItemData(item)) : nullptr;
}

void CLPSProductListPpg::SyncSelectionFromBoxes() {
    if (!m_tree.IsWindow()) return;
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item)) {
        CLPProduct* product = ProductOf(item);
        if (!product) continue;
        product->selected = StateImageIndex(m_tree.GetItemState(item, TVIS_STATEIMAGEMASK)) == kBoxCrossed;
    }
}

BOOL CLPSProductListPpg::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != IDC_PRODUCT_LIST_TREE) return FALSE;
    switch (header->code) {
        case NM_CLICK:
            OnTreeClick();
            *result = 0;
            return TRUE;
        case NM_DBLCLK:
            // The second click of a double click toggles the box again without
            // NM_CLICK: read the boxes once the tree has done so.
            PostMessageW(m_hWnd, kSyncBoxesMessage, 0, 0);
            *result = 0;
            return TRUE;
        case TVN_SELCHANGEDW:
            OnTreeSelectionChanged(reinterpret_cast<const NMTREEVIEWW*>(lParam));
            *result = 0;
            return TRUE;
        case TVN_KEYDOWN:
            // The tree toggles the selected item's box itself on the space bar.
            if (reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_SPACE) {
                PostMessageW(m_hWnd, kSyncBoxesMessage, 0, 0);
            }
            *result = 0;
            return TRUE;
        default: return FALSE;
    }
}

BOOL CLPSProductListPpg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) {
    if (message != kSyncBoxesMessage) return FALSE;
    SyncSelectionFromBoxes();
    *result = 0;
    return TRUE;
}

void CLPSProductListPpg::OnTreeClick() {
    DWORD position = GetMessagePos();
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    MapWindowPoints(HWND_DESKTOP, m_tree.m_hWnd, &point, 1);
    UINT flags = 0;
    HTREEITEM item = m_tree.HitTest(point, &flags);
    if (!item || flags != TVHT_ONITEMSTATEICON) return;
    UINT state = StateImageIndex(m_tree.GetItemState(item, TVIS_STATEIMAGEMASK));
    // The box still shows its old state: the tree toggles it after this notification.
    CLPProduct* product = ProductOf(item);
    if (product) product->selected = state != kBoxCrossed ? 1 : 0;
}

void CLPSProductListPpg::OnTreeSelectionChanged(const NMTREEVIEWW* change) {
    CLPProduct* product = change ? ProductOf(change->itemNew.hItem) : nullptr;
    if (!product) return;
    m_description = product->GetDescription();
    UpdateData(FALSE);
}

void CLPSProductListPpg::OnDestroy() {
    // Hand the tree back the state images it made itself; ours die with the page.
    if (m_tree.IsWindow()) m_tree.SetImageList(m_treeOwnStateImages, TVSIL_STATE);
}
