#pragma once
// The installation benchmark under Wine: the setup's installation (the
// kvn_install_bench program), its floor (the same program's bare calls) and
// an NSIS installer of the same tree and target, in turn, several runs each,
// in one 64-bit Wine prefix, with the prefix cleaned before every run and both
// installations checked once. Every Windows program and Wine tool starts
// through scripts/wine-run.
#include <string>

struct InstallComparison {
    std::string prefix;   // WINEPREFIX (the caller sets it in the environment too)
    std::string wineRun;  // scripts/wine-run
    std::string build;    // the setup's build folder: its tools run with its bitness
    std::string setup;    // kvn_install_bench.exe
    std::string before;   // optional: the same program built from older code, run in turns with it
    std::string nsis;     // the NSIS installer
    std::string tree;     // the tree both install
    int bits = 64;        // of the setup and the NSIS installer
    int runs = 5;
};

// Prints the runs, the medians, each file phase against the floor, the whole
// against NSIS and where the setup's time goes. 0 when every run succeeded
// and both installations were complete.
int CompareInstallations(const InstallComparison& comparison);
