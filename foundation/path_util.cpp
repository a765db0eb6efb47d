#include "foundation/path_util.h"

#include <cstring>

namespace {

size_t TextLength(const wchar_t* text) {
    size_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

// Appends count units of text at destination[at]; memmove so that a folder
// that is the destination itself stays intact.
size_t Put(wchar_t* destination, size_t at, const wchar_t* text, size_t count) {
    if (count) std::memmove(destination + at, text, count * sizeof(wchar_t));
    return at + count;
}

}  // namespace

void ZeroFill(void* pointer, int byteCount) {
    if (pointer && byteCount > 0) std::memset(pointer, 0, size_t(byteCount));
}

int JoinPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name,
             const wchar_t* extension) {
    if (!destination || size <= 0 || !name || !*name) return 0;
    const size_t folderLength = TextLength(folder);
    const bool separator = folderLength > 0 && folder[folderLength - 1] != L'\\';
    const size_t nameLength = TextLength(name);
    const size_t extensionLength = TextLength(extension);
    const size_t total =
        folderLength + (separator ? 1 : 0) + nameLength + (extensionLength ? 1 + extensionLength : 0);
    if (total + 1 > size_t(size)) {
        destination[0] = L'\0';
        return 0;
    }
    size_t at = Put(destination, 0, folder, folderLength);
    if (separator) destination[at++] = L'\\';
    at = Put(destination, at, name, nameLength);
    if (extensionLength) {
        destination[at++] = L'.';
        at = Put(destination, at, extension, extensionLength);
    }
    destination[at] = L'\0';
    return 1;
}

int FormatEntryPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name) {
    if (!destination || size <= 0) return 0;
    const size_t folderLength = TextLength(folder);
    const size_t nameLength = TextLength(name);
    if (!folder || !name || folderLength + 1 + nameLength + 1 > size_t(size)) {
        destination[0] = L'\0';
        return 0;
    }
    size_t at = Put(destination, 0, folder, folderLength);
    destination[at++] = L'\\';
    at = Put(destination, at, name, nameLength);
    destination[at] = L'\0';
    return 1;
}
