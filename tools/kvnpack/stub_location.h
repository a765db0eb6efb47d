#pragma once
// Where kvnpack finds the setup stub when no --stub is given: the one
// installed with it.
#include <filesystem>
#include <vector>

constexpr char kStubFileName[] = "KVNBarcodeSetup-stub.exe";

// The stub beside the running kvnpack, else in share/kvnpack/ of the
// prefix it is installed in (<prefix>/bin/kvnpack). Empty when there is
// none; looked then lists the places tried.
std::filesystem::path FindInstalledStub(std::vector<std::filesystem::path>& looked);
