// The exported functions of KVNBarcodeRT.dll: argument checks live in the
// Code 128 core; nothing here may let a fault out of the DLL.
#define KVN_BUILDING_RUNTIME
#include "sample-sdk/include/kvnbarcode.h"

#include "sample-sdk/runtime/code128.h"

extern "C" {

KVN_API int KVN_CALL KvnGetVersion(KvnVersion* version) {
  if (!version) return KVN_E_ARGUMENT;
  version->major = KVN_RT_VERSION_MAJOR;
  version->minor = KVN_RT_VERSION_MINOR;
  version->patch = KVN_RT_VERSION_PATCH;
  version->build = KVN_RT_VERSION_BUILD;
  return 0;
}

KVN_API int KVN_CALL KvnEncodeCode128(const char* text, unsigned char* modules, int capacity) {
  return kvn_code128::Encode(text, modules, capacity);
}

KVN_API int KVN_CALL KvnDecodeScanLine(const unsigned char* pixels, int count, char* text,
                                       int capacity) {
  return kvn_code128::DecodeScanLine(pixels, count, text, capacity);
}

KVN_API const char* KVN_CALL KvnResultText(int result) {
  if (result >= 0) return "success";
  switch (result) {
    case KVN_E_ARGUMENT: return "invalid argument";
    case KVN_E_CHARACTER: return "character not encodable in code set B";
    case KVN_E_BUFFER: return "buffer too small";
    case KVN_E_NO_BARCODE: return "no barcode found";
    case KVN_E_PATTERN: return "invalid bar pattern";
    case KVN_E_CHECKSUM: return "check symbol mismatch";
    default: return "unknown error";
  }
}

}  // extern "C"
