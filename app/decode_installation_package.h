#pragma once
// The decoding pipeline run for the setup: the payload of the run's resource
// module into its PackageDir.
#include "package/decode_pipeline.h"

class CLPSSetupState;
class CWRunControl;

// DecodePayloadResource with the state's resource module and PackageDir;
// 0 without a state.
int DecodeInstallationPackage(IProductInstallerCallbak* callback, CLPSSetupState* app,
                              CWRunControl* run = nullptr);
