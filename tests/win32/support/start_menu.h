#pragma once
// Where the product's Start-menu shortcuts belong, found with the shell and
// written down here, independently of the setup's code.
#include <string>

// The current user's Start-menu Programs folder.
std::wstring ProgramsFolder();
// "Programs\Korvane\Barcode Reader SDK" and the vendor folder "Programs\Korvane".
std::wstring StartMenuProductFolder();
std::wstring StartMenuVendorFolder();

// Removes the product from the machine by force, independently of the
// setup's rollback (which keeps an installation it did not make): the
// installation folder and its vendor folder when empty, the uninstall entry,
// the Start-menu folder and its vendor folder when empty.
void RemoveProductByForce(const std::wstring& installDir);
