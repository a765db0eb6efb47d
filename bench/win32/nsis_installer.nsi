; The installation benchmark's reference: an NSIS installer of the same tree
; that does the same work as the setup's installation (every component, the
; system-folder files, the uninstall entry, the six Start-menu shortcuts),
; zlib-compressed, run silently with /S. TARGET is x86-unicode (beside the
; 32-bit setup) or amd64-unicode (beside its 64-bit twin); each installs
; where a program of its bitness does: Program Files (x86) or Program Files,
; its system folder, its registry view.
;   makensis -DTREE=<tree> -DOUTFILE=<installer.exe> -DTARGET=<target> nsis_installer.nsi
Target ${TARGET}
SetCompressor zlib
Name "Korvane Barcode Reader SDK"
OutFile "${OUTFILE}"
!if "${TARGET}" == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\Korvane\KVNBarcodeSDK"
!else
  InstallDir "$PROGRAMFILES\Korvane\KVNBarcodeSDK"
!endif
RequestExecutionLevel admin
ShowInstDetails nevershow

!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{5E1A7C30-9B24-4D6F-8E15-2C7A40D93B61}"
!define MENU "$SMPROGRAMS\Korvane\Barcode Reader SDK"

Section "Barcode Reader SDK"
!if "${TARGET}" == "amd64-unicode"
  SetRegView 64
!endif
  SetOutPath "$INSTDIR"
  File /r "${TREE}/Main/*"
  File /r "${TREE}/Bin/*"
  SetOutPath "$INSTDIR\Help"
  File /r "${TREE}/Help/*"
  SetOutPath "$INSTDIR\Samples"
  File /r "${TREE}/Samples/*"
  SetOutPath "$INSTDIR\Images"
  File /r "${TREE}/Images/*"
  SetOutPath "$INSTDIR\include"
  File /r "${TREE}/include/*"
  SetOutPath "$INSTDIR\lib"
  File /r "${TREE}/lib/*"
  SetOutPath "$INSTDIR\Redistributables"
  File /r "${TREE}/Redistributables/*"
  SetOutPath "$SYSDIR"
  File /r "${TREE}/Sys32/*"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "ProductName" "KVNBarcodeSDK"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Korvane® Barcode Reader SDK"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\KVNBarcodeUninstall.exe"'

  CreateDirectory "${MENU}"
  CreateShortCut "${MENU}\Uninstall Barcode Reader SDK.lnk" "$INSTDIR\KVNBarcodeUninstall.exe"
  CreateShortCut "${MENU}\Barcode Reader SDK Demo.lnk" "$INSTDIR\KVNBarcodeDemo.exe"
  CreateShortCut "${MENU}\Help.lnk" "$INSTDIR\Help\kvnbarcode.chm"
  CreateShortCut "${MENU}\Java Help.lnk" "$INSTDIR\Help\Java\docs\index.html"
  CreateShortCut "${MENU}\Samples.lnk" "$INSTDIR\Samples"
  CreateShortCut "${MENU}\Redistributables.lnk" "$INSTDIR\Redistributables"
SectionEnd
