// kvnpack: the packaging tool of the setup's payload (see README.md).
#include <iostream>
#include <string>
#include <vector>

#include "tools/kvnpack/commands.h"

#ifdef _WIN32
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(bytes > 0 ? bytes - 1 : 0, '\0');
        if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &text[0], bytes, nullptr, nullptr);
        arguments.push_back(text);
    }
    return RunKvnpack(arguments, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunKvnpack(arguments, std::cout, std::cerr);
}
#endif
