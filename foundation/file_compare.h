#pragma once
// Whether a file already is what a copy would make of another: the same
// bytes and the same attributes that a copy carries. A repair over an
// unchanged installation then leaves its files as they are instead of
// saving each aside and writing it again. Windows only.
#include <windows.h>

// The attributes a copy gives its file; the others belong to the volume.
constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// True when both are files of the same size and copied attributes whose
// bytes are equal. A file that cannot be read (held without read sharing,
// access denied) is not known to be equal: false, as for any difference.
bool FileEqualsCopyOf(const wchar_t* file, const wchar_t* source);
