#pragma once
// The licence agreement carried as a resource of the program.
#include "package/payload_resource_names.h"  // kAgreementResourceName

class CLPSSetupState;

// Fills the application's m_agreementText with the wide form of the
// agreement resource (decoded in the ANSI code page of the resource's
// language, up to its first zero byte) and returns
// its characters; null when the resource is missing, unloadable or empty.
const wchar_t* LoadAgreementText(CLPSSetupState* app);
