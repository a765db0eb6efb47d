#pragma once
// Small helpers shared by the AES tests.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "foundation/block.h"
#include "package/aes_engine.h"

using Bytes = std::vector<uint8_t>;

inline Bytes Hex(const std::string& text) {
    Bytes out;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        out.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return out;
}

inline Bytes RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 gen(seed);
    Bytes out(count);
    for (auto& b : out) b = static_cast<uint8_t>(gen());
    return out;
}

inline Bytes Contents(const CWBlock& block) {
    const uint8_t* d = block.GetData();
    return d ? Bytes(d, d + block.GetLength()) : Bytes();
}

inline void Fill(CWBlock& block, const Bytes& bytes) {
    block.SetSize(0);
    if (!bytes.empty()) block.Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

inline void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Selects an AES engine for one test and restores the one before it.
class ScopedAesEngine {
public:
    explicit ScopedAesEngine(AesEngine engine) : m_previous(ActiveAesEngine()) { SelectAesEngine(engine); }
    ~ScopedAesEngine() { SelectAesEngine(m_previous); }
    ScopedAesEngine(const ScopedAesEngine&) = delete;
    ScopedAesEngine& operator=(const ScopedAesEngine&) = delete;

private:
    AesEngine m_previous;
};

inline const char* EngineName(AesEngine engine) {
    return engine == AesEngine::kAesNi ? "AesNi" : "TableForm";
}
