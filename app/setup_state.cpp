// The state of one setup run: the folder paths and the component list.
#include "app/setup_state.h"

#include <new>
#include <shlobj.h>

#include "foundation/path_util.h"

namespace {

// The components in display and installation order.
const int kProductOrder[] = {kProductTools, kProductHelp, kProductSamples, kProductRedist};

const int kNameLimit = 255;          // units, terminating zero included
const int kDescriptionLimit = 1023;  // units, terminating zero included

}  // namespace

CLPProduct::CLPProduct() : id(0), selected(0) {
    ZeroFill(name, static_cast<int>(sizeof(name)));
    ZeroFill(description, static_cast<int>(sizeof(description)));
}

CLPProduct::~CLPProduct() = default;

const wchar_t* CLPProduct::GetName() {
    return name;
}

const wchar_t* CLPProduct::GetDescription() {
    return description;
}

CLPSSetupState::CLPSSetupState()
    : m_hResources(GetModuleHandleW(nullptr)), m_nCancelPage(-1), m_hIcon(nullptr) {
    ZeroFill(&m_paths, static_cast<int>(sizeof(m_paths)));
}

// Members go in reverse order: the agreement text, then the component list
// (deleting every product).
CLPSSetupState::~CLPSSetupState() = default;

void CLPSSetupState::ComputeSetupPaths() {
    wchar_t programFiles[kPathUnits];
    ZeroFill(programFiles, static_cast<int>(sizeof(programFiles)));
    // An unresolved Program Files folder leaves relative paths.
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES | CSIDL_FLAG_CREATE, nullptr, 0, programFiles)))
        programFiles[0] = 0;
    programFiles[kPathUnits - 1] = 0;

    wchar_t systemDir[kPathUnits];
    ZeroFill(systemDir, static_cast<int>(sizeof(systemDir)));
    UINT length = GetSystemDirectoryW(systemDir, kPathUnits);
    if (length == 0 || length >= static_cast<UINT>(kPathUnits)) systemDir[0] = 0;

    FillSetupPaths(m_paths, programFiles, systemDir);
}

void CLPSSetupState::BuildProductList() {
    m_products.RemoveAll();
    for (int id : kProductOrder) {
        CLPProduct* product = new (std::nothrow) CLPProduct;
        if (!product) continue;
        product->id = id;
        LoadStringW(m_hResources, static_cast<UINT>(id), product->name, kNameLimit);
        LoadStringW(m_hResources, static_cast<UINT>(id + 1), product->description, kDescriptionLimit);
        product->selected = 1;
        if (!m_products.Add(product)) delete product;
    }
}
