#pragma once
// The damaged payloads of the fault test, each made from the good payload by
// its index alone (fixed seed), so a run can be repeated on its own.
#include <cstdint>
#include <string>
#include <vector>

constexpr int kDamagedPayloads = 1000;
constexpr uint64_t kDamageSeed = 0x4B564E4641554C54ull;
constexpr unsigned kRunLimitMs = 30000;  // a run that takes longer counts as a hang

enum class DamageKind { TrailerBit, FillerBit, RandomBit, Cut };

struct Damage {
    DamageKind kind = DamageKind::RandomBit;
    uint32_t position = 0;  // byte of the flipped bit, or the length a cut keeps
    int bit = 0;            // 0 to 7; unused for cuts
};

// Indices 0-31 flip each bit of the trailer L, 32-47 bits of the filler
// (random bits when there is none), 48-63 cut at the lengths where the
// layers meet, then random bit flips and random cuts in equal numbers.
Damage DamageFor(int index, const std::vector<uint8_t>& payload);
// A cut that keeps every byte: the payload as it was.
Damage Undamaged(const std::vector<uint8_t>& payload);
std::vector<uint8_t> ApplyDamage(const std::vector<uint8_t>& payload, const Damage& damage);
const char* KindName(DamageKind kind);
// Bytes of zero filler between the compressed image and the trailer.
uint32_t FillerBytes(const std::vector<uint8_t>& payload);

// One line of the runner's results file.
struct RunResult {
    int index = -1;
    std::string kind;
    uint32_t position = 0;
    int bit = 0;
    uint32_t size = 0;  // bytes of the damaged payload
    int decoded = 0, failures = 0, stopped = 0;
    std::string verdict;      // refused, intact, wrong, hang
    int installedBefore = 0;  // files, key or shortcuts present before the rollback
    int leftovers = 0;        // anything left after the rollback
    unsigned milliseconds = 0;
};
std::string FormatResult(const RunResult& result);
bool ParseResult(const std::string& line, RunResult& result);
