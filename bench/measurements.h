#pragma once
// The in-process measurements of the native benchmark. Each takes the data
// it works on and a repetition count and returns the seconds of every run.
#include <cstdint>
#include <string>
#include <vector>

#include "bench/native_decode.h"
#include "foundation/block.h"

struct DecryptRuns {
    std::vector<double> seconds;  // both layers over the whole container
    std::string digest;           // of the decrypted whole blocks
};
// CWCryptAESKey::Decrypt on a fresh copy of the container each run.
DecryptRuns MeasureDecrypt(const CWBlock& container, int reps);

struct InflateRuns {
    std::vector<double> ours;       // InflatePackage into a new block
    std::vector<double> bareFresh;  // uncompress into a newly allocated buffer
    std::vector<double> bareWarm;   // uncompress into a buffer already written once
    std::vector<double> setSize;    // CWBlock::SetSize(S) on a new block: the region taken and zero-filled
    std::vector<double> zeroPass;   // one memset over S bytes already in memory
    bool same = true;               // every run produced the same bytes
};
// image: the decrypted compressed image (u32 S, then the zlib stream).
InflateRuns MeasureInflate(const CWBlock& image, int reps);

struct WalkRuns {
    std::vector<double> seconds;
    uint64_t records = 0, contentBytes = 0;
    bool complete = true;  // every walk reached the end without a fault
};
WalkRuns MeasureWalk(const CWBlock& package, int reps);

struct DecodeRuns {
    std::vector<DecodeTimes> times;
    std::vector<double> removal;  // seconds to remove each extracted tree
    DecodeCounts counts;
    std::vector<std::string> differences;  // extracted tree against the source tree, first run
    std::string error;
};
// The whole decode of the payload file into work/decode-N, checked against
// tree after the first run; each extracted tree is removed afterwards.
DecodeRuns MeasureDecode(const std::string& payload, const std::string& work, const std::string& tree,
                         int reps);
