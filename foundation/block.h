#pragma once
// Growable byte buffer over one page-allocated region, and the sized-record
// functions that write and read length-prefixed records in it. Portable.
#include <cstdint>

class CWBlock {
public:
    CWBlock();
    virtual ~CWBlock();
    CWBlock(const CWBlock&) = delete;
    CWBlock& operator=(const CWBlock&) = delete;

    void Free();
    uint8_t* GetData() const { return m_data; }
    uint32_t GetLength() const { return m_length; }
    uint32_t GetCapacity() const { return m_capacity; }

    // 1 done, 0 failed (block unchanged).
    int SetSize(uint32_t size);
    int Append(const void* bytes, uint32_t count);
    CWBlock& CopyFrom(const CWBlock& other);

private:
    uint32_t m_capacity;
    int32_t m_placed;  // always 0: every region is owned
    uint8_t* m_data;
    uint32_t m_length;
};

void AppendInt32(CWBlock& block, uint32_t value);
void AppendSizedBlock(CWBlock& block, const CWBlock& other);
// Readers never read outside the used length: a record that does not fit
// copies nothing and leaves the cursor at the used length.
void ReadInt32(const CWBlock& block, uint32_t& cursor, uint32_t* out);
void ReadSizedBlock(const CWBlock& block, uint32_t& cursor, CWBlock& target);
void ReadSizedBytes(const CWBlock& block, uint32_t& cursor, void* buffer, int32_t bufferSize);
