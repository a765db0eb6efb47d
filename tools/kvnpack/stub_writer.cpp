#include "tools/kvnpack/stub_writer.h"

#include <algorithm>

#include "tools/kvnpack/le_bytes.h"

namespace {

constexpr uint64_t kFourGiB = uint64_t(1) << 32;

std::string Describe(const ResourceKey& key) {
    if (!key.named) return "#" + std::to_string(key.id);
    std::string text;
    for (char16_t c : key.name) text += (c < 0x80) ? static_cast<char>(c) : '?';
    return text;
}

}  // namespace

bool StubEditor::Open(const std::vector<uint8_t>& stub, const std::vector<NewResource>& additions,
                      std::string& error) {
    m_stub = &stub;
    if (!ReadPeLayout(stub, m_layout, error)) return false;
    const PeDirectory& security = m_layout.directories[kPeSecurityDirectory];
    if (security.rva || security.size) {
        error =
            "signed: writing resources would break its signature; give kvnpack the unsigned stub and sign "
            "the "
            "finished setup (scripts/sign)";
        return false;
    }
    if (m_layout.directories[kPeDebugDirectory].size) {
        error = "carries debug data, which kvnpack does not move; use a stripped stub (linked with -s)";
        return false;
    }
    const PeDirectory& resources = m_layout.directories[kPeResourceDirectory];
    const int index = resources.size ? m_layout.SectionOf(resources.rva) : -1;
    if (index < 0) {
        error = "not a setup stub: it has no resources";
        return false;
    }
    m_resources = static_cast<size_t>(index);
    const PeSection& section = m_layout.sections[m_resources];
    if (!section.rawSize) {
        error = "damaged: its resource section has no data in the file";
        return false;
    }
    if (resources.rva != section.virtualAddress) {
        error = "not a setup stub: its resource directory does not start its section";
        return false;
    }
    // Only the relocation table may follow: nothing in the program refers to
    // it but its data directory, so it can move.
    for (size_t i = m_resources + 1; i < m_layout.sections.size(); ++i) {
        const PeSection& later = m_layout.sections[i];
        for (size_t d = 0; d < m_layout.directories.size(); ++d) {
            const PeDirectory& dir = m_layout.directories[d];
            if (d == kPeSecurityDirectory || !dir.size || m_layout.SectionOf(dir.rva) != static_cast<int>(i))
                continue;
            if (d != kPeBaseRelocationDirectory) {
                error = "not a setup stub kvnpack can write: section " + later.name +
                        " follows the resources and holds more than the relocation table";
                return false;
            }
        }
        if (later.name != ".reloc") {
            error = "not a setup stub kvnpack can write: section " + later.name + " follows the resources";
            return false;
        }
        if (later.rawSize && later.rawPointer < section.rawPointer + section.rawSize) {
            error = "damaged: section " + later.name + " lies before the resources in the file";
            return false;
        }
    }
    const uint32_t rawSize = std::min(section.rawSize, section.MemorySize());
    const std::vector<uint8_t> bytes(stub.begin() + section.rawPointer,
                                     stub.begin() + section.rawPointer + rawSize);
    if (!ReadResourceSection(bytes, section.virtualAddress, m_items, error)) return false;
    for (const NewResource& added : additions)
        for (const ResourceItem& item : m_items)
            if (SameKey(item.type, added.item.type) && SameKey(item.name, added.item.name)) {
                error = "already carries " + added.what + " (resource " + Describe(item.name) + " of type " +
                        Describe(item.type) + "): it is a finished setup, not a stub";
                return false;
            }
    return true;
}

bool StubEditor::Write(const std::vector<NewResource>& additions, std::vector<uint8_t>& out,
                       std::string& error) const {
    const std::vector<uint8_t>& stub = *m_stub;
    const PeSection& old = m_layout.sections[m_resources];
    std::vector<ResourceItem> items = m_items;
    for (const NewResource& added : additions) items.push_back(added.item);
    std::vector<uint8_t> section;
    if (!BuildResourceSection(items, old.virtualAddress, section, error)) return false;

    // The stub up to its resources, the new section, then the later
    // sections and whatever followed the last one, each at its new place.
    const uint64_t newRaw = AlignUp(section.size(), m_layout.fileAlignment);
    const uint64_t oldRawEnd = uint64_t(old.rawPointer) + old.rawSize;
    const int64_t fileShift = int64_t(old.rawPointer + newRaw) - int64_t(oldRawEnd);
    const uint64_t total = uint64_t(int64_t(stub.size()) + fileShift);
    if (total >= kFourGiB) {
        error = "the setup would reach 4 GiB";
        return false;
    }
    out.assign(stub.begin(), stub.begin() + old.rawPointer);
    out.insert(out.end(), section.begin(), section.end());
    out.resize(static_cast<size_t>(old.rawPointer + newRaw), 0);
    out.insert(out.end(), stub.begin() + static_cast<std::ptrdiff_t>(oldRawEnd), stub.end());

    SetU32(out, old.headerAt + 8, static_cast<uint32_t>(section.size()));
    SetU32(out, old.headerAt + 16, static_cast<uint32_t>(newRaw));
    uint64_t nextAddress = AlignUp(uint64_t(old.virtualAddress) + section.size(), m_layout.sectionAlignment);
    uint64_t imageEnd = nextAddress;
    for (size_t i = m_resources + 1; i < m_layout.sections.size(); ++i) {
        const PeSection& s = m_layout.sections[i];
        const int64_t shift = int64_t(nextAddress) - int64_t(s.virtualAddress);
        SetU32(out, s.headerAt + 12, static_cast<uint32_t>(nextAddress));
        if (s.rawSize) SetU32(out, s.headerAt + 20, static_cast<uint32_t>(int64_t(s.rawPointer) + fileShift));
        for (size_t d = 0; d < m_layout.directories.size(); ++d) {
            const PeDirectory& dir = m_layout.directories[d];
            if (d != kPeSecurityDirectory && dir.size && m_layout.SectionOf(dir.rva) == static_cast<int>(i))
                SetU32(out, m_layout.DirectoryAt(d), static_cast<uint32_t>(int64_t(dir.rva) + shift));
        }
        nextAddress = AlignUp(nextAddress + s.MemorySize(), m_layout.sectionAlignment);
        imageEnd = nextAddress;
    }
    SetU32(out, m_layout.DirectoryAt(kPeResourceDirectory) + 4, static_cast<uint32_t>(section.size()));
    SetU32(out, m_layout.SizeOfImageAt(), static_cast<uint32_t>(imageEnd));
    if (old.characteristics & kPeInitializedData) {
        const uint32_t initialized = GetU32(out, m_layout.SizeOfInitializedDataAt());
        SetU32(out, m_layout.SizeOfInitializedDataAt(),
               static_cast<uint32_t>(int64_t(initialized) + int64_t(newRaw) - int64_t(old.rawSize)));
    }
    if (m_layout.symbolTablePointer >= oldRawEnd)
        SetU32(out, m_layout.SymbolTablePointerAt(),
               static_cast<uint32_t>(int64_t(m_layout.symbolTablePointer) + fileShift));
    if (imageEnd >= kFourGiB) {
        error = "the setup would take 4 GiB of memory or more";
        return false;
    }
    SetU32(out, m_layout.CheckSumAt(), PeChecksum(out, m_layout.CheckSumAt()));
    return true;
}
