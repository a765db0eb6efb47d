// Start-menu shortcuts of the installed product.
#include "app/shortcuts.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "app/product_names.h"
#include "foundation/file_journal.h"
#include "foundation/file_tree.h"
#include "foundation/owned_handle.h"
#include "foundation/path_util.h"
#include "foundation/run_control.h"

const wchar_t kStartMenuProductFolder[] = L"" KVN_NAME_START_MENU_SUBFOLDER;
const wchar_t kStartMenuVendorFolder[] = L"" KVN_NAME_START_MENU_VENDOR_FOLDER;

namespace {

bool FitsPathBuffer(const wchar_t* text) {
    return wcsnlen(text, kPathUnits) < static_cast<size_t>(kPathUnits);
}

// The vendor's and the product's Start-menu folders (260 units each).
bool StartMenuFolders(wchar_t* vendor, wchar_t* product) {
    wchar_t programs[kPathUnits];
    return GetStartMenuPrograms(programs) &&
           JoinPath(vendor, kPathUnits, programs, kStartMenuVendorFolder, nullptr) &&
           JoinPath(product, kPathUnits, programs, kStartMenuProductFolder, nullptr);
}

}  // namespace

int GetStartMenuPrograms(wchar_t* programs) {
    if (!programs) return 0;
    ZeroFill(programs, kPathUnits * static_cast<int>(sizeof(wchar_t)));
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)))
        programs[0] = 0;
    programs[kPathUnits - 1] = 0;
    // The Startup folder decides whether the user's Start menu is usable at all.
    wchar_t startup[kPathUnits];
    ZeroFill(startup, static_cast<int>(sizeof(startup)));
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, startup))) return 0;
    // An unknown Programs folder would put the entries below the current folder.
    return programs[0] ? 1 : 0;
}

int CreateShortcut(const wchar_t* folder, const wchar_t* fileName, const wchar_t* linkName) {
    if (!folder || !folder[0] || !linkName || !linkName[0]) return 0;

    wchar_t target[kPathUnits];
    ZeroFill(target, static_cast<int>(sizeof(target)));
    if (fileName && fileName[0]) {
        if (!JoinPath(target, kPathUnits, folder, fileName, nullptr)) return 0;
    } else {
        if (!FitsPathBuffer(folder)) return 0;
        wcscpy(target, folder);
    }

    wchar_t programs[kPathUnits];
    if (!GetStartMenuPrograms(programs)) return 0;

    wchar_t productFolder[kPathUnits];
    if (!JoinPath(productFolder, kPathUnits, programs, kStartMenuProductFolder, nullptr)) return 0;
    CreateFolderPath(productFolder);  // a failure shows in the save

    wchar_t linkFile[kPathUnits];
    if (!JoinPath(linkFile, kPathUnits, productFolder, linkName, L"lnk")) return 0;

    return SUCCEEDED(CreateLink(target, linkFile, linkName)) ? 1 : 0;
}

int CreateShortcutOfRun(const wchar_t* folder, const wchar_t* fileName, const wchar_t* linkName,
                        CWRunControl* run) {
    CWFileJournal* journal = JournalOf(run);
    wchar_t vendor[kPathUnits], product[kPathUnits], linkFile[kPathUnits];
    if (!journal || !journal->Active() || !linkName || !StartMenuFolders(vendor, product) ||
        !JoinPath(linkFile, kPathUnits, product, linkName, L"lnk"))
        return CreateShortcut(folder, fileName, linkName);
    // The folders are made and recorded before the link, so a rollback
    // removes the link first and then the folders it emptied.
    for (const wchar_t* made : {vendor, product}) {
        if (IsExistingFolder(made)) continue;
        CreateFolderPath(made);
        if (IsExistingFolder(made)) journal->FolderCreated(made);
    }
    if (!journal->FreeForWrite(linkFile)) return 0;
    const int result = CreateShortcut(folder, fileName, linkName);
    journal->WriteDone(linkFile, result != 0);
    return result;
}

HRESULT CreateLink(const wchar_t* target, const wchar_t* linkFile, const wchar_t* description) {
    if (!target || !linkFile || !description) return E_INVALIDARG;

    CWComPtr<IShellLinkW> link;
    HRESULT result =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid());
    if (FAILED(result)) return result;
    if (!link) return E_POINTER;

    link->SetPath(target);
    link->SetDescription(description);

    CWComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
    if (SUCCEEDED(result) && file) {
        wchar_t path[kPathUnits];
        ZeroFill(path, static_cast<int>(sizeof(path)));
        if (FitsPathBuffer(linkFile)) {
            wcscpy(path, linkFile);
            result = file->Save(path, TRUE);
        } else {
            result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        }
    } else if (SUCCEEDED(result)) {
        result = E_NOINTERFACE;
    }
    return result;
}
