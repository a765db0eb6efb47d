#pragma once
// A joined path between double quotes, as a command line or registry text
// names a program whose path may hold spaces.
#include "foundation/path_util.h"

constexpr int kQuotedPathUnits = kPathUnits + 2;

// Writes "\"" folder "\" name "\"" into destination (size units). Returns 1
// when written; 0 when the folder is empty or the joined path would not fit
// in a path buffer (destination then empty).
int QuoteJoinedPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name);
