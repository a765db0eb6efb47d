#include "app/command_line.h"

#include <cwchar>

int QuoteJoinedPath(wchar_t* destination, int size, const wchar_t* folder, const wchar_t* name) {
    if (!destination || size <= 0) return 0;
    destination[0] = 0;
    if (!folder || !folder[0]) return 0;
    wchar_t joined[kPathUnits];
    if (!JoinPath(joined, kPathUnits, folder, name, nullptr)) return 0;
    size_t length = wcsnlen(joined, kPathUnits);
    if (length >= static_cast<size_t>(kPathUnits) || length + 3 > static_cast<size_t>(size)) return 0;
    destination[0] = L'"';
    wmemcpy(destination + 1, joined, length);
    destination[length + 1] = L'"';
    destination[length + 2] = 0;
    return 1;
}
