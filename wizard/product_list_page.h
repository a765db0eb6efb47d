#pragma once
// Position 2: the optional components as a tree with check boxes, and the
// description of the selected one.
#include <string>
#include "framework/controls.h"
#include "framework/image_list.h"
#include "framework/property_page.h"

class CLPSSetupState;
class CLPProduct;

class CLPSProductListPpg : public CPropertyPage {
public:
    explicit CLPSProductListPpg(CLPSSetupState* app);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

    // Sets every component's selected flag to what its box shows.
    void SyncSelectionFromBoxes();

    // State-image indexes of the boxes.
    static constexpr UINT kBoxEmpty = 1;
    static constexpr UINT kBoxCrossed = 2;

    CLPSSetupState* m_app;
    CTreeCtrl m_tree;
    CImageList m_stateImages;
    std::wstring m_description;

private:
    void OnTreeClick();
    void OnTreeSelectionChanged(const NMTREEVIEWW* change);
    CLPProduct* ProductOf(HTREEITEM item) const;

    HIMAGELIST m_treeOwnStateImages = nullptr;
};
