#pragma once
// Progress callbacks of the package extraction.
#include "package/product_installer_callback.h"

class CWPackageCallback {
public:
    // Non-zero: go on; zero: stop extraction after this record.
    virtual int OnExtractProgress(int percent) = 0;
};

// Forwards extraction progress to the installation run's callback under one
// string-table id.
class CLPSDecompressHelper : public CWPackageCallback {
public:
    CLPSDecompressHelper(IProductInstallerCallbak* callback, int stringId)
        : m_callback(callback), m_stringId(stringId) {}
    ~CLPSDecompressHelper() {
        m_callback = nullptr;
        m_stringId = 0;
    }
    int OnExtractProgress(int percent) override {
        if (!m_callback) return 1;
        return m_callback->ReportProgress(m_stringId, percent);
    }

private:
    IProductInstallerCallbak* m_callback;
    int m_stringId;
};
