#pragma once
// Progress callback of the installation, the package pipeline and the rollback.
class IProductInstallerCallbak {
public:
    // stringId: the string-table id of the action under way; percent 0..100.
    // Non-zero asks the caller to go on, zero asks it to stop.
    virtual int ReportProgress(int stringId, int percent) = 0;
    // Reserved operation: both implementations leave it empty, nothing calls it.
    virtual void ReservedOperation(int first, int second) = 0;
};
