#include "foundation/block.h"

#include <cstring>

#include "foundation/page_alloc.h"

namespace {

// Bytes from the cursor to the end of the used length; 0 when the cursor is past it.
uint32_t BytesLeft(const CWBlock& block, uint32_t cursor) {
    return cursor < block.GetLength() ? block.GetLength() - cursor : 0;
}

uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Reads the count of the sized record at the cursor. Returns false, with the
// cursor at the used length, when the count or its bytes do not lie within
// the used length; otherwise the cursor is left past the count.
bool ReadRecordCount(const CWBlock& block, uint32_t& cursor, uint32_t& count) {
    if (BytesLeft(block, cursor) < 4) {
        cursor = block.GetLength();
        return false;
    }
    const int32_t signedCount = int32_t(LoadLE32(block.GetData() + cursor));
    if (signedCount < 0 || uint32_t(signedCount) > BytesLeft(block, cursor) - 4) {
        cursor = block.GetLength();
        return false;
    }
    cursor += 4;
    count = uint32_t(signedCount);
    return true;
}

}  // namespace

CWBlock::CWBlock() : m_capacity(0), m_placed(0), m_data(nullptr), m_length(0) {}

CWBlock::~CWBlock() {
    Free();
}

void CWBlock::Free() {
    // A region placed by a caller would be the caller's to release; no block
    // is ever placed, so every block releases its own region here.
    if (m_data && !m_placed) PageFree(m_data, m_capacity);
    m_data = nullptr;
    m_capacity = 0;
    m_length = 0;
}

int CWBlock::SetSize(uint32_t size) {
    if (m_data && m_capacity >= size) {
        m_length = size;
        return 1;
    }
    // A fresh region comes zeroed from the system (PageAlloc): writing it
    // once more would only fault in every page before it is used.
    uint8_t* region = static_cast<uint8_t*>(PageAlloc(size));
    if (!region) return 0;
    if (m_data) {
        std::memcpy(region, m_data, m_length);
        PageFree(m_data, m_capacity);
    }
    m_data = region;
    m_capacity = size;
    m_length = size;
    return 1;
}

int CWBlock::Append(const void* bytes, uint32_t count) {
    if (!bytes || count == 0) return 0;
    if (count > UINT32_MAX - m_length) return 0;
    const uint32_t needed = m_length + count;
    if (m_capacity < needed) {
        if (needed > UINT32_MAX - 8192u) return 0;
        const uint32_t grown = needed + 8192u;
        uint8_t* region = static_cast<uint8_t*>(PageAlloc(grown));  // zeroed
        if (!region) return 0;
        if (m_data) std::memcpy(region, m_data, m_length);
        // The source may lie inside the old region: copy it before releasing.
        std::memcpy(region + m_length, bytes, count);
        if (m_data) PageFree(m_data, m_capacity);
        m_data = region;
        m_capacity = grown;
        m_length = needed;
        return 1;
    }
    std::memmove(m_data + m_length, bytes, count);
    m_length = needed;
    return 1;
}

CWBlock& CWBlock::CopyFrom(const CWBlock& other) {
    if (&other == this) return *this;
    const uint32_t n = other.m_length;
    if (n > m_capacity) {
        if (!other.m_data) return *this;
        uint8_t* region = static_cast<uint8_t*>(PageAlloc(n));
        if (!region) return *this;
        std::memcpy(region, other.m_data, n);
        if (m_data) PageFree(m_data, m_capacity);
        m_data = region;
        m_capacity = n;
        m_length = n;
        return *this;
    }
    if (m_data) std::memset(m_data, 0, m_capacity);
    if (n) std::memcpy(m_data, other.m_data, n);
    m_length = n;
    return *this;
}

void AppendInt32(CWBlock& block, uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                              uint8_t(value >> 24)};
    block.Append(bytes, 4);
}

void AppendSizedBlock(CWBlock& block, const CWBlock& other) {
    // Taken before the count is written, so a block can append itself.
    const uint32_t count = other.GetLength();
    AppendInt32(block, count);
    block.Append(other.GetData(), count);
}

void ReadInt32(const CWBlock& block, uint32_t& cursor, uint32_t* out) {
    if (!block.GetData() || !out) return;
    if (BytesLeft(block, cursor) < 4) {
        cursor = block.GetLength();
        return;
    }
    *out = LoadLE32(block.GetData() + cursor);
    cursor += 4;
}

void ReadSizedBlock(const CWBlock& block, uint32_t& cursor, CWBlock& target) {
    if (!block.GetData()) return;
    uint32_t count = 0;
    if (!ReadRecordCount(block, cursor, count)) return;
    const uint32_t start = cursor;
    cursor += count;
    target.Append(block.GetData() + start, count);
}

void ReadSizedBytes(const CWBlock& block, uint32_t& cursor, void* buffer, int32_t bufferSize) {
    if (!block.GetData() || !buffer || bufferSize <= 0) return;
    uint32_t count = 0;
    if (!ReadRecordCount(block, cursor, count)) return;
    const uint32_t copied = count < uint32_t(bufferSize) ? count : uint32_t(bufferSize);
    std::memcpy(buffer, block.GetData() + cursor, copied);
    cursor += count;
}
