#include "tests/win32/faults/damaged_payloads.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

// splitmix64: a good spread from consecutive seeds.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

Damage RandomBit(uint64_t random, uint32_t size) {
    Damage damage;
    damage.kind = DamageKind::RandomBit;
    const uint64_t bit = random % (uint64_t(size) * 8);
    damage.position = static_cast<uint32_t>(bit / 8);
    damage.bit = static_cast<int>(bit % 8);
    return damage;
}

}  // namespace

uint32_t FillerBytes(const std::vector<uint8_t>& payload) {
    if (payload.size() < 4) return 0;
    const uint32_t ciphertext = static_cast<uint32_t>(payload.size() - 4);
    const uint32_t image = ReadU32(payload.data() + ciphertext);
    return image < ciphertext ? ciphertext - image : 0;
}

Damage DamageFor(int index, const std::vector<uint8_t>& payload) {
    const uint32_t size = static_cast<uint32_t>(payload.size());
    const uint32_t ciphertext = size - 4;
    const uint64_t random = Mix(kDamageSeed + static_cast<uint64_t>(index));
    Damage damage;
    if (index < 32) {
        damage.kind = DamageKind::TrailerBit;
        damage.position = ciphertext + static_cast<uint32_t>(index / 8);
        damage.bit = index % 8;
        return damage;
    }
    if (index < 48) {
        const uint32_t filler = FillerBytes(payload);
        if (filler == 0) return RandomBit(random, size);
        damage.kind = DamageKind::FillerBit;
        damage.position = ciphertext - filler + static_cast<uint32_t>(random % filler);
        damage.bit = static_cast<int>((random >> 32) % 8);
        return damage;
    }
    damage.kind = DamageKind::Cut;
    if (index < 64) {
        const uint32_t lengths[16] = {0,
                                      1,
                                      3,
                                      4,
                                      5,
                                      15,
                                      16,
                                      17,
                                      32,
                                      36,
                                      size / 2,
                                      ciphertext - 16,
                                      ciphertext - 1,
                                      ciphertext,
                                      ciphertext + 1,
                                      ciphertext + 3};
        damage.position = lengths[index - 48];
        return damage;
    }
    if (index < 64 + (kDamagedPayloads - 64) / 2) return RandomBit(random, size);
    damage.position = static_cast<uint32_t>(random % size);
    return damage;
}

Damage Undamaged(const std::vector<uint8_t>& payload) {
    Damage damage;
    damage.kind = DamageKind::Cut;
    damage.position = static_cast<uint32_t>(payload.size());
    return damage;
}

std::vector<uint8_t> ApplyDamage(const std::vector<uint8_t>& payload, const Damage& damage) {
    if (damage.kind == DamageKind::Cut)
        return std::vector<uint8_t>(payload.begin(),
                                    payload.begin() + std::min<size_t>(damage.position, payload.size()));
    std::vector<uint8_t> damaged = payload;
    if (damage.position < damaged.size()) damaged[damage.position] ^= static_cast<uint8_t>(1u << damage.bit);
    return damaged;
}

const char* KindName(DamageKind kind) {
    switch (kind) {
        case DamageKind::TrailerBit: return "trailer-bit";
        case DamageKind::FillerBit: return "filler-bit";
        case DamageKind::RandomBit: return "random-bit";
        case DamageKind::Cut: return "cut";
    }
    return "?";
}

std::string FormatResult(const RunResult& r) {
    std::ostringstream line;
    line << r.index << ' ' << r.kind << ' ' << r.position << ' ' << r.bit << ' ' << r.size << ' ' << r.decoded
         << ' ' << r.failures << ' ' << r.stopped << ' ' << r.verdict << ' ' << r.installedBefore << ' '
         << r.leftovers << ' ' << r.milliseconds;
    return line.str();
}

bool ParseResult(const std::string& line, RunResult& r) {
    std::istringstream in(line);
    in >> r.index >> r.kind >> r.position >> r.bit >> r.size >> r.decoded >> r.failures >> r.stopped >>
        r.verdict >> r.installedBefore >> r.leftovers >> r.milliseconds;
    return !in.fail();
}
