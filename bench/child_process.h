#pragma once
// Runs a program (a path, or a name looked up in PATH) as a child process with extra environment variables
// and collects its standard output. Used for measurements that need a fresh process (peak memory, libraries
// that read the environment at start).
#include <string>
#include <utility>
#include <vector>

struct ChildResult {
    bool started = false;
    int exitCode = -1;  // -1 when it did not exit normally
    std::string output;
};

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& environment);

// The folder of the running program, to find its sibling programs.
std::string ProgramFolder();
