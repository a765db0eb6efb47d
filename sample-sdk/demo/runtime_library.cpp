#include "sample-sdk/demo/runtime_library.h"

namespace {

constexpr const wchar_t* kRuntimeName = L"KVNBarcodeRT.dll";

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  // GetProcAddress returns a generic function pointer; the export's real type
  // is the one declared in kvnbarcode.h.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

RuntimeLibrary::RuntimeLibrary() {
  module_.Reset(LoadLibraryExW(kRuntimeName, nullptr,
                               LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
  // Systems without the restricted search flags reject them; their default
  // search also starts with the program's folder and the system folder.
  if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER)
    module_.Reset(LoadLibraryW(kRuntimeName));
  if (!module_) return;
  getVersion_ = Lookup<GetVersionFunction>(module_.Get(), "KvnGetVersion");
  encode_ = Lookup<EncodeFunction>(module_.Get(), "KvnEncodeCode128");
  decode_ = Lookup<DecodeFunction>(module_.Get(), "KvnDecodeScanLine");
  resultText_ = Lookup<ResultTextFunction>(module_.Get(), "KvnResultText");
  if (!getVersion_ || !encode_ || !decode_ || !resultText_) {
    module_.Reset();
    getVersion_ = nullptr;
    encode_ = nullptr;
    decode_ = nullptr;
    resultText_ = nullptr;
  }
}

RuntimeLibrary::~RuntimeLibrary() = default;  // module_ frees the DLL

bool RuntimeLibrary::IsLoaded() const { return module_.Valid(); }

int RuntimeLibrary::GetVersion(KvnVersion* version) const {
  return getVersion_ ? getVersion_(version) : KVN_E_ARGUMENT;
}

int RuntimeLibrary::Encode(const char* text, unsigned char* modules, int capacity) const {
  return encode_ ? encode_(text, modules, capacity) : KVN_E_ARGUMENT;
}

int RuntimeLibrary::Decode(const unsigned char* pixels, int count, char* text,
                           int capacity) const {
  return decode_ ? decode_(pixels, count, text, capacity) : KVN_E_ARGUMENT;
}

const char* RuntimeLibrary::ResultText(int result) const {
  return resultText_ ? resultText_(result) : "runtime not loaded";
}
