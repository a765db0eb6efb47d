#pragma once
// Code 128 (code set B) encoding and scan-line reading: plain data in, plain
// data out, no system calls, so the runtime's exports stay thin.

namespace kvn_code128 {

// Bar and space widths (in modules) of symbol values 0 to 106; each symbol
// starts with a bar and is 11 modules wide, the stop (106) 13.
extern const char* const kPatterns[107];

constexpr int kStartB = 104;
constexpr int kStop = 106;

// Modules of a whole symbol for a text of the given length, quiet zones included.
int ModuleCount(int textLength);

// See KvnEncodeCode128 in the public header; same results.
int Encode(const char* text, unsigned char* modules, int capacity);

// See KvnDecodeScanLine in the public header; same results.
int DecodeScanLine(const unsigned char* pixels, int count, char* text, int capacity);

}  // namespace kvn_code128
