#pragma once
// Writes resources into a setup stub (the setup program without payload and
// agreement): the stub's resource section is rebuilt with every resource it
// had plus the new ones, the relocation table behind it moves up, and the
// headers (section sizes and addresses, image size, data directories,
// checksum) follow. Same inputs, same bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/kvnpack/pe_layout.h"
#include "tools/kvnpack/resource_section.h"

struct NewResource {
    ResourceItem item;
    std::string what;  // for messages: "a payload", "an agreement text"
};

class StubEditor {
public:
    // Checks that the stub can take the resources: a PE file, whole, not
    // signed, without debug data, with a resource section behind which lies
    // at most the relocation table, and none of the resources there already.
    // false with a message that says why not.
    bool Open(const std::vector<uint8_t>& stub, const std::vector<NewResource>& additions,
              std::string& error);
    bool IsPe32Plus() const { return m_layout.plus; }

    // The finished program. Call after a successful Open with the same stub.
    bool Write(const std::vector<NewResource>& additions, std::vector<uint8_t>& out,
               std::string& error) const;

private:
    const std::vector<uint8_t>* m_stub = nullptr;
    PeLayout m_layout;
    size_t m_resources = 0;  // index of the resource section
    std::vector<ResourceItem> m_items;
};
