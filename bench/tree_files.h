#pragma once
// Writes a planned tree to disk and compares two trees on disk.
#include <filesystem>
#include <string>
#include <vector>

#include "bench/tree_plan.h"

// Every folder and file of the plan below root (which must not exist yet or
// be empty). false with a message when something cannot be written.
bool WriteTree(const TreePlan& plan, const std::filesystem::path& root, std::string& error);

// Every difference between two trees: entries missing on either side, a
// folder against a file, different lengths or bytes. Empty when equal.
std::vector<std::string> CompareTrees(const std::filesystem::path& expected,
                                      const std::filesystem::path& actual);

// True when both files can be read and hold the same bytes.
bool SameFileBytes(const std::filesystem::path& a, const std::filesystem::path& b);

// Removes a tree (also one with read-only folders); false with a message
// when something is left.
bool RemoveTree(const std::filesystem::path& root, std::string& error);
