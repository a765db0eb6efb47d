#include "foundation/file_compare.h"

#include <cstring>
#include <memory>
#include <new>

#include "foundation/owned_handle.h"

namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

bool ReadAttributes(const wchar_t* path, WIN32_FILE_ATTRIBUTE_DATA* data) {
    return GetFileAttributesExW(path, GetFileExInfoStandard, data) &&
           !(data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Opened for reading beside any other program's handles.
CWFileHandle OpenToRead(const wchar_t* path) {
    return CWFileHandle(CreateFileW(path, GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Reads exactly count bytes, fewer only at a failure.
bool ReadChunk(HANDLE file, unsigned char* buffer, DWORD count) {
    DWORD done = 0;
    while (done < count) {
        DWORD read = 0;
        if (!ReadFile(file, buffer + done, count - done, &read, nullptr) || read == 0) return false;
        done += read;
    }
    return true;
}

}  // namespace

bool FileEqualsCopyOf(const wchar_t* file, const wchar_t* source) {
    if (!file || !source) return false;
    WIN32_FILE_ATTRIBUTE_DATA mine, theirs;
    if (!ReadAttributes(file, &mine) || !ReadAttributes(source, &theirs)) return false;
    if ((mine.dwFileAttributes & kCopiedAttributes) != (theirs.dwFileAttributes & kCopiedAttributes) ||
        mine.nFileSizeHigh != theirs.nFileSizeHigh || mine.nFileSizeLow != theirs.nFileSizeLow)
        return false;
    ULONGLONG left = (ULONGLONG(mine.nFileSizeHigh) << 32) | mine.nFileSizeLow;
    if (left == 0) return true;

    CWFileHandle a = OpenToRead(file), b = OpenToRead(source);
    if (!a.Valid() || !b.Valid()) return false;
    const DWORD chunk = left < kChunkBytes ? DWORD(left) : kChunkBytes;
    std::unique_ptr<unsigned char[]> buffers(new (std::nothrow) unsigned char[2 * size_t(chunk)]);
    if (!buffers) return false;
    unsigned char* const ours = buffers.get();
    unsigned char* const packed = ours + chunk;
    while (left > 0) {
        const DWORD count = left < chunk ? DWORD(left) : chunk;
        if (!ReadChunk(a.Get(), ours, count) || !ReadChunk(b.Get(), packed, count) ||
            std::memcmp(ours, packed, count) != 0)
            return false;
        left -= count;
    }
    return true;
}
