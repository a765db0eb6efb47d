#include "tools/kvnpack/resource_section.h"

#include <algorithm>

#include "tools/kvnpack/le_bytes.h"

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kTableHeader = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
// Far above what a program carries; it bounds a damaged tree that points
// many entries at the same directories.
constexpr size_t kMaxItems = 1 << 16;

char16_t Upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

class SectionReader {
public:
    SectionReader(const std::vector<uint8_t>& section, uint32_t rva) : m_section(section), m_rva(rva) {}

    bool Read(std::vector<ResourceItem>& items, std::string& error) {
        ResourceItem path;
        return Walk(0, 0, path, items, error);
    }

private:
    bool Fits(uint64_t at, uint64_t count) const { return at + count <= m_section.size(); }

    bool Damaged(std::string& error, const std::string& what) {
        error = "damaged resources: " + what;
        return false;
    }

    bool ReadKey(uint32_t field, ResourceKey& key, std::string& error) {
        if (!(field & kHighBit)) {
            key = ResourceKey::Id(field);
            return true;
        }
        const uint32_t at = field & ~kHighBit;
        if (!Fits(at, 2)) return Damaged(error, "a name lies outside the section");
        const uint16_t length = GetU16(m_section, at);
        if (!Fits(uint64_t(at) + 2, uint64_t(length) * 2))
            return Damaged(error, "a name runs past the section");
        std::u16string name;
        for (uint16_t i = 0; i < length; ++i)
            name += static_cast<char16_t>(GetU16(m_section, at + 2 + 2 * i));
        key = ResourceKey::Name(name);
        return true;
    }

    bool Walk(uint32_t tableAt, int level, ResourceItem& path, std::vector<ResourceItem>& items,
              std::string& error) {
        if (!Fits(tableAt, kTableHeader)) return Damaged(error, "a directory lies outside the section");
        const uint32_t count = uint32_t(GetU16(m_section, tableAt + 12)) + GetU16(m_section, tableAt + 14);
        if (!Fits(uint64_t(tableAt) + kTableHeader, uint64_t(count) * kEntrySize))
            return Damaged(error, "a directory runs past the section");
        for (uint32_t i = 0; i < count; ++i) {
            const size_t entryAt = tableAt + kTableHeader + i * kEntrySize;
            ResourceKey key;
            if (!ReadKey(GetU32(m_section, entryAt), key, error)) return false;
            const uint32_t target = GetU32(m_section, entryAt + 4);
            const bool subdirectory = (target & kHighBit) != 0;
            ResourceKey* slot = level == 0 ? &path.type : level == 1 ? &path.name : &path.language;
            *slot = key;
            if (level < 2) {
                if (!subdirectory) return Damaged(error, "data where a directory belongs");
                if (!Walk(target & ~kHighBit, level + 1, path, items, error)) return false;
                continue;
            }
            if (subdirectory) return Damaged(error, "a directory deeper than type, name and language");
            if (!Fits(target, kDataEntrySize)) return Damaged(error, "a data entry lies outside the section");
            const uint32_t dataRva = GetU32(m_section, target);
            const uint32_t size = GetU32(m_section, target + 4);
            if (dataRva < m_rva || !Fits(uint64_t(dataRva) - m_rva, size))
                return Damaged(error, "resource data lies outside the resource section");
            if (items.size() >= kMaxItems) return Damaged(error, "more resources than a program carries");
            path.codePage = GetU32(m_section, target + 8);
            const auto begin = m_section.begin() + (dataRva - m_rva);
            path.data.assign(begin, begin + size);
            items.push_back(path);
        }
        return true;
    }

    const std::vector<uint8_t>& m_section;
    uint32_t m_rva;
};

// Tables of one directory level: each directory's entries as item ranges.
struct Table {
    size_t first = 0, last = 0;  // items [first, last) share the keys above this table
    size_t at = 0;               // offset of the table in the section
};

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v)), out.push_back(uint8_t(v >> 8));
}

const ResourceKey& KeyAt(const ResourceItem& item, int level) {
    return level == 0 ? item.type : level == 1 ? item.name : item.language;
}

}  // namespace

int CompareKeys(const ResourceKey& a, const ResourceKey& b) {
    if (a.named != b.named) return a.named ? -1 : 1;
    if (!a.named) return a.id < b.id ? -1 : a.id > b.id ? 1 : 0;
    const size_t common = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < common; ++i) {
        const char16_t x = Upper(a.name[i]), y = Upper(b.name[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.name.size() < b.name.size() ? -1 : a.name.size() > b.name.size() ? 1 : 0;
}

bool SameKey(const ResourceKey& a, const ResourceKey& b) {
    return CompareKeys(a, b) == 0;
}

bool ReadResourceSection(const std::vector<uint8_t>& section, uint32_t sectionRva,
                         std::vector<ResourceItem>& items, std::string& error) {
    items.clear();
    SectionReader reader(section, sectionRva);
    return reader.Read(items, error);
}

bool BuildResourceSection(std::vector<ResourceItem> items, uint32_t sectionRva, std::vector<uint8_t>& section,
                          std::string& error) {
    std::stable_sort(items.begin(), items.end(), [](const ResourceItem& a, const ResourceItem& b) {
        for (int level = 0; level < 3; ++level) {
            const int order = CompareKeys(KeyAt(a, level), KeyAt(b, level));
            if (order) return order < 0;
        }
        return false;
    });
    // Tables level by level: the root holds every item; a table of the next
    // level starts wherever a key of this level changes within a table.
    std::vector<std::vector<Table>> levels(3);
    levels[0].push_back({0, items.size(), 0});
    for (int level = 1; level < 3; ++level)
        for (const Table& parent : levels[level - 1])
            for (size_t i = parent.first; i < parent.last;) {
                size_t j = i + 1;
                while (j < parent.last && SameKey(KeyAt(items[i], level - 1), KeyAt(items[j], level - 1)))
                    ++j;
                levels[level].push_back({i, j, 0});
                i = j;
            }
    const auto entriesOf = [&](const Table& t, int level) {
        size_t n = 0;
        for (size_t i = t.first; i < t.last; ++i)
            if (i == t.first || !SameKey(KeyAt(items[i - 1], level), KeyAt(items[i], level))) ++n;
        return n;
    };
    uint64_t at = 0;
    for (int level = 0; level < 3; ++level)
        for (Table& t : levels[level]) {
            t.at = static_cast<size_t>(at);
            at += kTableHeader + kEntrySize * entriesOf(t, level);
        }
    // Strings, then data entries, then data.
    std::vector<uint8_t> strings;
    const uint64_t stringsAt = at;
    std::vector<uint8_t> out(static_cast<size_t>(at), 0);
    const auto putName = [&](const ResourceKey& key) -> uint32_t {
        const uint64_t offset = stringsAt + strings.size();
        PutU16(strings, static_cast<uint16_t>(key.name.size()));
        for (char16_t c : key.name) PutU16(strings, c);
        return kHighBit | static_cast<uint32_t>(offset);
    };
    // Directory entries: a key and its target (next table, or data entry).
    size_t nextTable[3] = {0, 0, 0};
    size_t dataEntry = 0;
    std::vector<std::pair<size_t, uint32_t>> dataEntryFixups;  // (entry field offset, data entry index)
    for (int level = 0; level < 3; ++level)
        for (const Table& t : levels[level]) {
            size_t entryAt = t.at + kTableHeader;
            uint16_t named = 0, numbered = 0;
            for (size_t i = t.first; i < t.last; ++i) {
                if (i != t.first && SameKey(KeyAt(items[i - 1], level), KeyAt(items[i], level))) {
                    if (level == 2) {
                        error = "two resources with the same type, name and language";
                        return false;
                    }
                    continue;
                }
                const ResourceKey& key = KeyAt(items[i], level);
                if (key.named && key.name.size() > 0xFFFF) {
                    error = "a resource name longer than 65535 units";
                    return false;
                }
                SetU32(out, entryAt, key.named ? putName(key) : key.id);
                (key.named ? named : numbered)++;
                if (level < 2) {
                    SetU32(out, entryAt + 4,
                           kHighBit | static_cast<uint32_t>(levels[level + 1][nextTable[level + 1]++].at));
                } else {
                    dataEntryFixups.push_back({entryAt + 4, static_cast<uint32_t>(dataEntry++)});
                }
                entryAt += kEntrySize;
            }
            SetU16(out, t.at + 12, named);
            SetU16(out, t.at + 14, numbered);
        }
    out.insert(out.end(), strings.begin(), strings.end());
    const uint64_t dataEntriesAt = AlignUp(out.size(), 4);
    const uint64_t dataAt = AlignUp(dataEntriesAt + kDataEntrySize * items.size(), 8);
    uint64_t total = dataAt;
    for (const ResourceItem& item : items) total = AlignUp(total + item.data.size(), 8);
    if (total + sectionRva >= (uint64_t(1) << 32)) {
        error = "the resources would reach 4 GiB";
        return false;
    }
    for (const auto& fixup : dataEntryFixups)
        SetU32(out, fixup.first, static_cast<uint32_t>(dataEntriesAt + kDataEntrySize * fixup.second));
    out.resize(static_cast<size_t>(total), 0);
    uint64_t cursor = dataAt;
    for (size_t i = 0; i < items.size(); ++i) {
        const size_t entry = static_cast<size_t>(dataEntriesAt + kDataEntrySize * i);
        SetU32(out, entry, static_cast<uint32_t>(sectionRva + cursor));
        SetU32(out, entry + 4, static_cast<uint32_t>(items[i].data.size()));
        SetU32(out, entry + 8, items[i].codePage);
        std::copy(items[i].data.begin(), items[i].data.end(),
                  out.begin() + static_cast<std::ptrdiff_t>(cursor));
        cursor = AlignUp(cursor + items[i].data.size(), 8);
    }
    section.swap(out);
    return true;
}
