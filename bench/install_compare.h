#pragma once
// The installation benchmark under Wine: the setup's installation (the
// kvn_install_bench program) against an NSIS installer of the same tree,
// alternately, several runs each, in one Wine prefix, with the prefix
// cleaned before every run and both installations checked once.
#include <string>

struct InstallComparison {
    std::string prefix;  // WINEPREFIX (the caller sets it in the environment too)
    std::string setup;   // kvn_install_bench.exe
    std::string nsis;    // the NSIS installer
    std::string tree;    // the tree both install
    int runs = 5;
};

// Prints the runs, the medians, the ratio and where the setup's time goes.
// 0 when every run succeeded and both installations were complete.
int CompareInstallations(const InstallComparison& comparison);
