#include "bench/measurements.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "bench/clock.h"
#include "bench/digest.h"
#include "bench/tree_files.h"
#include "package/package_format.h"

namespace {

uint32_t LoadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

DecryptRuns MeasureDecrypt(const CWBlock& container, int reps) {
    DecryptRuns runs;
    CWBlock work;
    const size_t whole = container.GetLength() / 16 * 16;
    for (int i = 0; i < reps; ++i) {
        work.CopyFrom(container);
        const double start = NowSeconds();
        DecryptContainer(work);
        runs.seconds.push_back(NowSeconds() - start);
        // Decrypt cuts the used length; the decrypted bytes past it stay in the region.
        if (i == 0) runs.digest = Digest(work.GetData(), whole);
    }
    return runs;
}

InflateRuns MeasureInflate(const CWBlock& image, int reps) {
    InflateRuns runs;
    if (image.GetLength() < 4) {
        runs.same = false;
        return runs;
    }
    const uint32_t declared = LoadU32(image.GetData());
    const Bytef* stream = image.GetData() + 4;
    const uLong streamLength = image.GetLength() - 4;
    std::string reference;
    uint8_t* warm = static_cast<uint8_t*>(std::malloc(declared));
    if (!warm) {
        runs.same = false;
        return runs;
    }
    std::memset(warm, 0xA5, declared);
    for (int i = 0; i < reps; ++i) {
        {
            CWBlock package;
            const double start = NowSeconds();
            const int status = InflatePackage(image, package);
            runs.ours.push_back(NowSeconds() - start);
            const std::string digest = Digest(package.GetData(), package.GetLength());
            if (status != 0 || (!reference.empty() && digest != reference)) runs.same = false;
            reference = digest;
        }
        {
            const double start = NowSeconds();
            uint8_t* fresh = static_cast<uint8_t*>(std::malloc(declared));
            uLongf produced = declared;
            const int status = fresh ? uncompress(fresh, &produced, stream, streamLength) : Z_MEM_ERROR;
            runs.bareFresh.push_back(NowSeconds() - start);
            if (status != Z_OK || Digest(fresh, produced) != reference) runs.same = false;
            std::free(fresh);
        }
        {
            uLongf produced = declared;
            const double start = NowSeconds();
            const int status = uncompress(warm, &produced, stream, streamLength);
            runs.bareWarm.push_back(NowSeconds() - start);
            if (status != Z_OK) runs.same = false;
        }
        {
            CWBlock block;
            const double start = NowSeconds();
            block.SetSize(declared);
            runs.setSize.push_back(NowSeconds() - start);
        }
        {
            const double start = NowSeconds();
            std::memset(warm, 0, declared);
            runs.zeroPass.push_back(NowSeconds() - start);
        }
    }
    std::free(warm);
    return runs;
}

WalkRuns MeasureWalk(const CWBlock& package, int reps) {
    WalkRuns runs;
    PackageRecord record;
    for (int i = 0; i < reps; ++i) {
        uint64_t records = 0, bytes = 0;
        const double start = NowSeconds();
        PackageRecordReader reader(package);
        int read = 0;
        while ((read = reader.Next(record)) > 0) {
            ++records;
            bytes += record.contentLength;
        }
        runs.seconds.push_back(NowSeconds() - start);
        if (read < 0) runs.complete = false;
        runs.records = records;
        runs.contentBytes = bytes;
    }
    return runs;
}

DecodeRuns MeasureDecode(const std::string& payload, const std::string& work, const std::string& tree,
                         int reps) {
    DecodeRuns runs;
    for (int i = 0; i < reps; ++i) {
        const std::string folder = work + "/decode-" + std::to_string(i + 1);
        DecodeTimes times;
        const int status = DecodePayloadFile(payload, folder, &times, &runs.counts, runs.error);
        if (status != 0) return runs;
        runs.times.push_back(times);
        if (i == 0) runs.differences = CompareTrees(tree, folder);
        const double start = NowSeconds();
        if (!RemoveTree(folder, runs.error)) return runs;
        runs.removal.push_back(NowSeconds() - start);
    }
    return runs;
}
