#pragma once
// The product's fixed names, the one place they are written down: the
// installation folder below Program Files and the working folder in it, the
// program files the setup starts or names, the uninstall entry and the
// Start-menu folder. The setup (app/, wizard/), the sample SDK's
// uninstaller, kvnpack, the benchmarks and the tests take them from here.
//
// Plain string-literal macros, so that one text gives every form by prefix
// concatenation: L"" KVN_NAME_DEMO_PROGRAM is the wchar_t form,
// u"" KVN_NAME_DEMO_PROGRAM the char16_t form, the macro alone the char
// (UTF-8) form; windres reads this file too. Portable: no windows.h.

// The vendor's folder, below Program Files and below the Start menu's Programs.
#define KVN_NAME_VENDOR_FOLDER "Korvane"
// The product: the uninstall entry's ProductName and the installation folder's name.
#define KVN_NAME_PRODUCT "KVNBarcodeSDK"
// The uninstall entry's DisplayName.
#define KVN_NAME_PRODUCT_DISPLAY "Korvane\u00AE Barcode Reader SDK"

// The installation folder: <Program Files>\Korvane\KVNBarcodeSDK.
#define KVN_NAME_PRODUCT_FOLDER KVN_NAME_PRODUCT
#define KVN_NAME_INSTALL_SUBFOLDER KVN_NAME_VENDOR_FOLDER "\\" KVN_NAME_PRODUCT_FOLDER
// The working folder inside it that the package is unpacked into.
#define KVN_NAME_WORKING_FOLDER "_Package"
// The folder beside it where a run keeps the files it replaces until the
// run is made final or undone.
#define KVN_NAME_SAVED_FOLDER "_Saved"

// Program files: the setup, and the two the package brings (the uninstaller
// in Main, the demo in Bin).
#define KVN_NAME_SETUP_PROGRAM "KVNBarcodeSetup.exe"
#define KVN_NAME_UNINSTALL_PROGRAM "KVNBarcodeUninstall.exe"
#define KVN_NAME_DEMO_PROGRAM "KVNBarcodeDemo.exe"

// The uninstall entry under HKEY_LOCAL_MACHINE: the key of every product's
// entry and the product's own key below it.
#define KVN_NAME_UNINSTALL_KEYS "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define KVN_NAME_PRODUCT_CODE "{5E1A7C30-9B24-4D6F-8E15-2C7A40D93B61}"
#define KVN_NAME_UNINSTALL_KEY KVN_NAME_UNINSTALL_KEYS "\\" KVN_NAME_PRODUCT_CODE

// The product's Start-menu folder below Programs: Korvane\Barcode Reader SDK.
#define KVN_NAME_START_MENU_VENDOR_FOLDER KVN_NAME_VENDOR_FOLDER
#define KVN_NAME_START_MENU_PRODUCT_FOLDER "Barcode Reader SDK"
#define KVN_NAME_START_MENU_SUBFOLDER \
    KVN_NAME_START_MENU_VENDOR_FOLDER "\\" KVN_NAME_START_MENU_PRODUCT_FOLDER
