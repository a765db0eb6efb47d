#pragma once
// Position 3: the components chosen, before the installation starts.
#include <string>
#include "foundation/arrays.h"
#include "framework/property_page.h"

class CLPSSetupState;
class CLPProduct;

// "[X] " + name + "\r\n\r\n" for each selected component, in list order.
std::wstring BuildConfirmSummary(const CWObjArray<CLPProduct>& products);

class CLPSConfirmPpg : public CPropertyPage {
public:
    explicit CLPSConfirmPpg(CLPSSetupState* app);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;

    CLPSSetupState* m_app;
    std::wstring m_summary;
};
