#include "foundation/file_replace.h"

namespace {

const DWORD kGuardingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

bool IsHeldFileError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool CopyOverFile(const wchar_t* source, const wchar_t* destination) {
    if (!source || !destination) return false;
    auto copy = [&] { return CopyFileW(source, destination, FALSE); };
    if (RetryWhileHeld(copy)) return true;
    DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(destination);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & kGuardingAttributes))
        return false;
    if (!SetFileAttributesW(destination, attributes & ~kGuardingAttributes)) {
        SetLastError(error);
        return false;
    }
    if (RetryWhileHeld(copy)) return true;
    error = GetLastError();
    SetFileAttributesW(destination, attributes);
    SetLastError(error);
    return false;
}

bool DeleteAnyFile(const wchar_t* path) {
    if (!path) return false;
    if (DeleteFileW(path)) return true;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes & kGuardingAttributes) SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    return RetryWhileHeld([&] { return DeleteFileW(path); });
}
