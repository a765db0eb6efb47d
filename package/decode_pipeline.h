#pragma once
// Decodes the embedded payload resource into the package working folder.
#include <windows.h>
#include "package/product_installer_callback.h"

class CWRunControl;

extern const wchar_t kPayloadResourceType[];  // "{61C38F02-7412}"
extern const wchar_t kPayloadResourceName[];  // "{8D4F2B16-C05A-4E93-A7B1-3F6E92D0C845}"

// String-table ids of the pipeline's progress reports.
constexpr int kValidatingPackageText = 147;  // at 0, 50 and 90
constexpr int kExtractingPackageText = 146;  // once per named record, rising to 100

// 1 when the package was decoded and extracted, or when the callback asked
// to stop (a zero reply to any report ends the run before its next step);
// 0 when there was no package to decode or decoding failed.
// The payload resource of module (null: the program's own) extracted under
// packageDir; the records that cannot be written count as failures of run
// (without one, nothing is counted).
int DecodePayloadResource(IProductInstallerCallbak* callback, HMODULE module, const wchar_t* packageDir,
                          CWRunControl* run = nullptr);
