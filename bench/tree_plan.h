#pragma once
// The plan of a deterministic SDK-like folder tree in the package layout
// (Main, Bin, Help, Samples, Images, include, lib, Redistributables, Sys32):
// headers, HTML help, sources and incompressible binaries. A plan holds
// names, kinds and sizes only; content.h makes the bytes.
#include <cstdint>
#include <string>
#include <vector>

enum class ContentKind { Binary, Header, Source, Html, Text, Xml };

struct PlannedFile {
    std::string path;  // relative, "/" as separator
    ContentKind kind = ContentKind::Text;
    uint64_t size = 0;
    uint64_t seed = 0;  // content seed, derived from the path and the tree seed
};

struct TreeShape {
    // 1.0: about 50 MB in about 1,400 files and 120 folders. Smaller values
    // scale the number of files per group (at least one each) and the bytes.
    double scale = 1.0;
    uint64_t seed = 20240611;
    // Share of the bytes that are incompressible binaries.
    double binaryShare = 0.405;
    // Bytes of the whole tree at scale 1.0.
    uint64_t totalBytes = 50ull * 1000 * 1000;
};

struct TreePlan {
    std::vector<std::string> folders;  // every folder, parents before children
    std::vector<PlannedFile> files;    // in a stable order
};

struct PlanStats {
    uint64_t folders = 0, files = 0, bytes = 0, binaryFiles = 0, binaryBytes = 0;
    uint64_t largestFile = 0;
};

TreePlan PlanSdkTree(const TreeShape& shape);
PlanStats Measure(const TreePlan& plan);

// The files the setup's shortcuts and uninstall entry point at; every plan has them.
extern const char* const kRequiredFiles[5];
