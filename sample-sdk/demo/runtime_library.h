#pragma once
// The demo's link to KVNBarcodeRT.dll, loaded at run time so the demo still
// starts (and says so) when the runtime is missing.
#include <windows.h>

#include "foundation/owned_handle.h"
#include "sample-sdk/include/kvnbarcode.h"

class RuntimeLibrary {
 public:
  // Loads the DLL from the demo's folder or the system folder only.
  RuntimeLibrary();
  virtual ~RuntimeLibrary();
  RuntimeLibrary(const RuntimeLibrary&) = delete;
  RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

  virtual bool IsLoaded() const;
  // Each returns KVN_E_ARGUMENT when the runtime is not loaded.
  virtual int GetVersion(KvnVersion* version) const;
  virtual int Encode(const char* text, unsigned char* modules, int capacity) const;
  virtual int Decode(const unsigned char* pixels, int count, char* text, int capacity) const;
  virtual const char* ResultText(int result) const;

 private:
  using GetVersionFunction = int(KVN_CALL*)(KvnVersion*);
  using EncodeFunction = int(KVN_CALL*)(const char*, unsigned char*, int);
  using DecodeFunction = int(KVN_CALL*)(const unsigned char*, int, char*, int);
  using ResultTextFunction = const char*(KVN_CALL*)(int);

  CWModule module_;
  GetVersionFunction getVersion_ = nullptr;
  EncodeFunction encode_ = nullptr;
  DecodeFunction decode_ = nullptr;
  ResultTextFunction resultText_ = nullptr;
};
