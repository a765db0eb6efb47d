#include "package/decode_pipeline.h"

#include <cwchar>

#include "foundation/block.h"
#include "foundation/path_util.h"
#include "package/aes_key.h"
#include "package/extract.h"
#include "package/key_blob.h"
#include "package/package_callback.h"
#include "package/package_format.h"

namespace {

// The callback's reply; no callback means "go on".
int Report(IProductInstallerCallbak* callback, int stringId, int percent) {
    return callback ? callback->ReportProgress(stringId, percent) : 1;
}

// The payload resource's bytes, or null when it is missing, cannot be loaded
// or locked, or is empty.
const void* LockPayload(HMODULE module, DWORD& size) {
    size = 0;
    HRSRC resource = FindResourceW(module, kPayloadResourceName, kPayloadResourceType);
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return nullptr;
    const void* bytes = LockResource(loaded);
    if (!bytes) return nullptr;
    size = SizeofResource(module, resource);
    return size ? bytes : nullptr;
}

}  // namespace

int DecodePayloadResource(IProductInstallerCallbak* callback, HMODULE module, const wchar_t* packageDir,
                          CWRunControl* run) {
    wchar_t folder[kPathUnits];
    ZeroFill(folder, sizeof folder);
    if (packageDir) {
        const size_t length = wcsnlen(packageDir, kPathUnits);
        if (length >= static_cast<size_t>(kPathUnits)) return 0;  // not a path buffer's content
        wmemcpy(folder, packageDir, length);
    }

    // Nothing to install is not a successful installation.
    if (folder[0] == 0) return 0;
    DWORD size = 0;
    const void* payload = LockPayload(module, size);
    if (!payload) return 0;

    // Declaration order is the reverse of the release order: key, C, helper, B, A.
    CWBlock encrypted;  // A: the resource decrypted into it, then cut to the compressed image
    CWBlock package;    // B: the inflated package image
    CLPSDecompressHelper helper(callback, IDS_EXTRACTING_PACKAGE);

    // A zero reply to any report stops the run before its next step. The
    // stop was asked for, so like a stop during extraction it is no failure.
    if (!Report(callback, IDS_VALIDATING_PACKAGE, 0)) return 1;

    uint8_t blob[kKeyBlobSize];
    WriteKeyBlob(blob);
    CWBlock keyBlob;  // C
    const int haveBlob = keyBlob.Append(blob, kKeyBlobSize);
    SecureZeroMemory(blob, sizeof blob);
    if (!haveBlob) return 0;

    // A key without memory for its contexts would leave the payload
    // encrypted: the run fails here rather than downstream.
    CWCryptAESKey key;
    if (key.ImportKeyBlob(keyBlob) != 0) return 0;
    // The resource is copied into block A by the first layer's pass itself
    // (the resource is only read), and the second layer runs in place.
    if (key.DecryptCopy(payload, size, encrypted) == -3) return 0;
    if (!Report(callback, IDS_VALIDATING_PACKAGE, 50)) return 1;

    int status = InflatePackage(encrypted, package);
    // By now the outcome of decompression is known, and a stop keeps it.
    if (!Report(callback, IDS_VALIDATING_PACKAGE, 90)) return status == 0 ? 1 : 0;
    Sleep(kPauseBeforeExtractionMs);

    if (status == 0) status = ExtractPackage(package, &helper, folder, run);
    return status == 0 ? 1 : 0;
}
