#pragma once
// The application object: the state of one setup run.
#include <windows.h>
#include "framework/winapp.h"
#include "foundation/arrays.h"
#include "foundation/block.h"
#include "app/setup_paths.h"

// String-table ids of the component names (also the component ids).
enum ProductId { kProductHelp = 132, kProductTools = 134, kProductSamples = 136, kProductRedist = 138 };

class CLPProduct {
public:
    CLPProduct();
    virtual ~CLPProduct();
    virtual const wchar_t* GetName();
    virtual const wchar_t* GetDescription();

    int id;
    wchar_t name[256];
    wchar_t description[1024];
    int selected;
};

class CKVNBarcodeSetupApp : public CWinApp {
public:
    CKVNBarcodeSetupApp();
    ~CKVNBarcodeSetupApp() override;

    BOOL InitInstance() override;  // always FALSE
    void ComputeSetupPaths();
    void BuildProductList();

    CWObjArray<CLPProduct> m_products;
    SetupPaths m_paths;
    int m_nCancelPage;
    CWBlock m_agreementText;
    HICON m_hIcon;
};
