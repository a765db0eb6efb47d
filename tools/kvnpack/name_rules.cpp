#include "tools/kvnpack/name_rules.h"

#include <algorithm>

#include "app/product_names.h"
#include "package/package_format.h"

const char16_t kLongestPackageDir[] =
    u"C:\\Program Files (x86)\\" KVN_NAME_INSTALL_SUBFOLDER "\\" KVN_NAME_WORKING_FOLDER "\\";

namespace {

constexpr size_t kPathUnitsWithZero = 260;

bool IsForbiddenCharacter(char16_t c) {
    if (c < 0x20) return true;
    switch (c) {
        case u'<':
        case u'>':
        case u'"':
        case u'|':
        case u'?':
        case u'*': return true;
        default: return false;
    }
}

char16_t FoldUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs of capital (even) and small (odd) letters, shifted by one
        // between U+0139 and U+0148 and from U+0179 on.
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool shifted = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        const bool small = shifted ? (c % 2 == 0) : (c % 2 == 1);
        return small ? static_cast<char16_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

}  // namespace

std::u16string FoldCase(const std::u16string& name) {
    std::u16string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldUnit);
    return folded;
}

bool RecordNameLess(const std::u16string& a, const std::u16string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        if (a[i] == b[i]) continue;
        const unsigned lowA = a[i] & 0xFF, lowB = b[i] & 0xFF;
        if (lowA != lowB) return lowA < lowB;
        return (a[i] >> 8) < (b[i] >> 8);
    }
    return a.size() < b.size();
}

std::string CheckRecordName(const std::u16string& name) {
    if (name.empty()) return "empty name";
    if (name.size() > kRecordNameUnits)
        return "name longer than " + std::to_string(kRecordNameUnits) + " UTF-16 units";
    const size_t prefix = std::char_traits<char16_t>::length(kLongestPackageDir);
    if (prefix + name.size() + 1 > kPathUnitsWithZero)
        return "name too long for the setup's working folder (at most " +
               std::to_string(kPathUnitsWithZero - 1 - prefix) + " UTF-16 units)";
    if (!IsSafePackageName(name.c_str()))
        return "the setup refuses this name (rooted, \"..\", \":\" or a device name)";
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != u'\\') {
            if (IsForbiddenCharacter(name[i]) || name[i] == u'/')
                return "a character Windows does not allow in file names";
            continue;
        }
        if (i > start) {
            const char16_t last = name[i - 1];
            if ((last == u'.' || last == u' ') && !(i - start == 1 && last == u'.'))
                return "a name part ending in a dot or a space (Windows drops them)";
        }
        start = i + 1;
    }
    return std::string();
}
