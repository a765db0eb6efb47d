#include "app/decode_installation_package.h"

#include "app/setup_state.h"

int DecodeInstallationPackage(IProductInstallerCallbak* callback, CLPSSetupState* app, CWRunControl* run) {
    if (!app) return 0;
    return DecodePayloadResource(callback, app->m_hResources, app->m_paths.PackageDir, run);
}
