#pragma once
// A PE resource section as the loader walks it: type, name and language
// directories, then the data. kvnpack reads a stub's section into a flat
// list and writes the list back as a new section.
#include <cstdint>
#include <string>
#include <vector>

// A directory entry's key: a name (stored upper case, as the loader looks
// names up) or a number.
struct ResourceKey {
    bool named = false;
    std::u16string name;
    uint32_t id = 0;
    static ResourceKey Name(const std::u16string& text) { return {true, text, 0}; }
    static ResourceKey Id(uint32_t number) { return {false, std::u16string(), number}; }
};

// The order the loader's binary search expects: names first, compared
// without regard to ASCII letter case, a name before any longer one that
// starts with it; then numbers in ascending order.
int CompareKeys(const ResourceKey& a, const ResourceKey& b);
bool SameKey(const ResourceKey& a, const ResourceKey& b);

struct ResourceItem {
    ResourceKey type, name, language;
    uint32_t codePage = 0;
    std::vector<uint8_t> data;
};

// The resources of a section whose first byte lies at sectionRva, read from
// its raw bytes. false with a message for a directory or data entry that
// lies outside the section, a tree that is not three levels deep, a
// repeated key or more entries than a program carries.
bool ReadResourceSection(const std::vector<uint8_t>& section, uint32_t sectionRva,
                         std::vector<ResourceItem>& items, std::string& error);

// The section bytes for the items, laid out for sectionRva: all directory
// tables, the name strings, the data entries, then each item's data on an
// 8-byte boundary. The items are sorted first; the same items always give
// the same bytes. false when the section would reach 4 GiB.
bool BuildResourceSection(std::vector<ResourceItem> items, uint32_t sectionRva, std::vector<uint8_t>& section,
                          std::string& error);
