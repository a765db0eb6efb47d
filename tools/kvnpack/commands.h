#pragma once
// kvnpack's commands over UTF-8 arguments (without the program name).
// Exit status: 0 done, 1 the input was refused or a file could not be
// read or written, 2 the command line was not understood.
#include <iosfwd>
#include <string>
#include <vector>

int RunKvnpack(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
