#pragma once
// Forwards the reports of one installation run and remembers a request to
// stop: after the first report answered with zero, nothing more is forwarded
// and every further report is answered with zero as well.
#include "package/product_installer_callback.h"

class CLPSReportGate : public IProductInstallerCallbak {
public:
    explicit CLPSReportGate(IProductInstallerCallbak* target) : m_target(target), m_stopped(0) {}
    int ReportProgress(int stringId, int percent) override {
        if (m_stopped) return 0;
        if (m_target && !m_target->ReportProgress(stringId, percent)) m_stopped = 1;
        return m_stopped ? 0 : 1;
    }
    void ReservedOperation(int, int) override {}
    int Stopped() const { return m_stopped; }

private:
    IProductInstallerCallbak* m_target;
    int m_stopped;
};

// One report; a missing callback means "go on".
inline int SendReport(IProductInstallerCallbak* callback, int stringId, int percent) {
    return callback ? callback->ReportProgress(stringId, percent) : 1;
}
