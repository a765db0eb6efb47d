#pragma once
// The state of one setup run: the folders, the component list, the agreement
// text and the program's icon. The application object carries it for the
// life of the process; every page and the installation engine borrow it.
#include <windows.h>
#include "foundation/arrays.h"
#include "foundation/block.h"
#include "app/install_journal.h"
#include "app/setup_lock.h"
#include "app/setup_paths.h"
#include "package/string_ids.h"

// String-table ids of the component names (also the component ids); each
// name's description is the next id.
enum ProductId {
    kProductHelp = IDS_COMPONENT_HELP,
    kProductTools = IDS_COMPONENT_TOOLS,
    kProductSamples = IDS_COMPONENT_SAMPLES,
    kProductRedist = IDS_COMPONENT_REDIST,
};
static_assert(IDS_COMPONENT_HELP_DESCRIPTION == IDS_COMPONENT_HELP + 1 &&
                  IDS_COMPONENT_TOOLS_DESCRIPTION == IDS_COMPONENT_TOOLS + 1 &&
                  IDS_COMPONENT_SAMPLES_DESCRIPTION == IDS_COMPONENT_SAMPLES + 1 &&
                  IDS_COMPONENT_REDIST_DESCRIPTION == IDS_COMPONENT_REDIST + 1,
              "BuildProductList reads a component's description at its name's id + 1");

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

class CLPSSetupState {
public:
    CLPSSetupState();
    virtual ~CLPSSetupState();
    CLPSSetupState(const CLPSSetupState&) = delete;
    CLPSSetupState& operator=(const CLPSSetupState&) = delete;

    void ComputeSetupPaths();
    // Component names and descriptions come from m_hResources' string table.
    void BuildProductList();

    HINSTANCE m_hResources;  // the module whose resources the run reads (payload, texts)
    CWObjArray<CLPProduct> m_products;
    SetupPaths m_paths;
    int m_nCancelPage;
    CWBlock m_agreementText;
    HICON m_hIcon;
    // What the last installation run changed, until it is made final or undone.
    CLPSInstallJournal m_journal;
    // Taken on the welcome page: one setup at a time on the machine.
    CLPSSetupLock m_setupLock;
};
