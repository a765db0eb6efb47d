#pragma once
// The native benchmark of the setup's decoding (kvnbench run).
#include <filesystem>
#include <string>

#include "bench/tree_plan.h"

struct NativeBenchOptions {
    std::string work;  // empty: a new folder below /dev/shm (or the temporary folder), removed afterwards
    double scale = 1.0;
    int reps = 9;
    bool keep = false;
};

// Makes the tree, packs it and prints every measurement with its goal.
// 0 when every check passed (goals met or not), 1 otherwise.
int RunNativeBenchmark(const NativeBenchOptions& options);

// The SDK tree of the given scale written below root.
bool GenerateTree(const std::filesystem::path& root, double scale, PlanStats& stats, std::string& error);

std::string Mb(double bytes);  // "12.3 MB"
