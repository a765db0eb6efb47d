#include "app/install_journal.h"

#include "app/install_sequence.h"
#include "app/product_names.h"
#include "foundation/file_tree.h"
#include "foundation/owned_handle.h"

namespace {

const wchar_t kSavedFolderName[] = L"" KVN_NAME_SAVED_FOLDER;

bool UninstallEntryExists() {
    CWRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

}  // namespace

CLPSInstallJournal::CLPSInstallJournal()
    : m_ran(false), m_pending(false), m_hadInstallation(false), m_entrySaved(false), m_entryExisted(false),
      m_restartNeeded(false) {}

CLPSInstallJournal::~CLPSInstallJournal() {
    if (m_pending) Commit();
}

void CLPSInstallJournal::Begin(const SetupPaths& paths) {
    // An earlier run of this process that was neither made final nor undone
    // stays as it is, without its saved copies.
    if (m_pending) Commit();
    m_ran = m_pending = true;
    m_entry.clear();
    m_entrySaved = m_entryExisted = false;  // a restart asked for earlier is still needed
    m_hadInstallation = IsExistingFolder(paths.InstallDir) || UninstallEntryExists();
    wchar_t saved[kPathUnits];
    if (!paths.InstallDir[0] || !JoinPath(saved, kPathUnits, paths.InstallDir, kSavedFolderName, nullptr))
        saved[0] = 0;
    m_files.Begin(saved);
}

void CLPSInstallJournal::SaveUninstallEntry() {
    if (!m_pending || m_entrySaved) return;
    m_entrySaved = true;
    CWRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    m_entryExisted = true;
    try {
        for (DWORD index = 0;; ++index) {
            wchar_t name[16384];
            DWORD nameUnits = 16384, type = 0, bytes = 0;
            if (RegEnumValueW(key.Get(), index, name, &nameUnits, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
                break;
            Value value{name, type, std::vector<BYTE>(bytes)};
            nameUnits = 16384;
            if (RegEnumValueW(key.Get(), index, name, &nameUnits, nullptr, &type,
                              value.data.empty() ? nullptr : value.data.data(), &bytes) != ERROR_SUCCESS)
                break;
            value.data.resize(bytes);
            m_entry.push_back(std::move(value));
        }
    } catch (...) {
        // Out of memory: what was read is given back on a rollback.
    }
}

void CLPSInstallJournal::Commit() {
    if (!m_pending) return;
    m_files.Commit();
    m_restartNeeded = m_restartNeeded || m_files.RestartNeeded();
    m_entry.clear();
    m_entrySaved = false;
    m_pending = false;
}

void CLPSInstallJournal::RollbackFiles() {
    if (!m_pending) return;
    m_files.Rollback();
}

void CLPSInstallJournal::RestoreUninstallEntry() {
    const bool changed = m_pending && m_entrySaved;
    // Untouched by the run, an entry that was there stays as it is.
    if (changed || (m_ran && !m_hadInstallation)) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    if (changed && m_entryExisted) {
        CWRegKey key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath, 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.Receive(), nullptr) == ERROR_SUCCESS) {
            for (const Value& value : m_entry)
                RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type,
                               value.data.empty() ? nullptr : value.data.data(),
                               static_cast<DWORD>(value.data.size()));
        }
    }
    m_entry.clear();
    m_entrySaved = false;
    m_pending = false;
}
