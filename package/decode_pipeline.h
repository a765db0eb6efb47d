#pragma once
// Decodes the embedded payload resource into the package working folder.
#include <windows.h>
#include "package/payload_resource_names.h"
#include "package/product_installer_callback.h"
#include "package/string_ids.h"

class CWRunControl;

// The pipeline reports under IDS_VALIDATING_PACKAGE at 0, 50 and 90, then
// under IDS_EXTRACTING_PACKAGE once per named record, rising to 100.

// The pause between the last validation report (90) and the extraction, in
// milliseconds: the progress page shows "Validating installation package..."
// at 90 % for at least this long before the first extraction report replaces
// it. The pipeline test checks the gap; the benchmark counts it as a phase of
// its own (kPipelinePause in bench/install_phases.h).
constexpr unsigned kPauseBeforeExtractionMs = 50;

// 1 when the package was decoded and extracted, or when the callback asked
// to stop (a zero reply to any report ends the run before its next step);
// 0 when there was no package to decode or decoding failed.
// The payload resource of module (null: the program's own) extracted under
// packageDir; the records that cannot be written count as failures of run
// (without one, nothing is counted).
int DecodePayloadResource(IProductInstallerCallbak* callback, HMODULE module, const wchar_t* packageDir,
                          CWRunControl* run = nullptr);
