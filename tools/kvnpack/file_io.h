#pragma once
// Whole-file reads and writes that never leave a partial output in place of
// a good one: the bytes go to a file beside the target, which is then renamed.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>& bytes, std::string& error);
bool WriteFileReplacing(const std::filesystem::path& target, const uint8_t* data, size_t size,
                        std::string& error);
