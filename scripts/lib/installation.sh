# Where the setup of a build installs in that build's Wine prefix, asked
# through shell_query.exe and winepath, and its removal by force. Source it.

kvn_installation_wine_run=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/wine-run
KVN_UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{5E1A7C30-9B24-4D6F-8E15-2C7A40D93B61}'

# kvn_unix_path BUILD WINDOWS_PATH: the path in the build's prefix as a Unix path.
kvn_unix_path() { "$kvn_installation_wine_run" --in "$1" winepath -u "$2" 2>/dev/null | tr -d '\r'; }

# kvn_installation_places NAME BUILD SHELL_QUERY: sets the Windows paths
# win_pf, win_programs, win_system, win_install (Program Files\Korvane\
# KVNBarcodeSDK) and win_menu (Programs\Korvane\Barcode Reader SDK), and the
# Unix paths install_dir, menu_dir and system_dir. When one is unknown it
# says so, naming the test NAME, and fails.
kvn_installation_places() {
  local name=$1 build=$2 folders
  folders=$("$kvn_installation_wine_run" "$3" --folders 2>/dev/null | tr -d '\r')
  win_pf=$(sed -n 's/^program_files=//p' <<<"$folders" | sed 's/\\\\/\\/g')
  win_programs=$(sed -n 's/^programs=//p' <<<"$folders" | sed 's/\\\\/\\/g')
  win_system=$(sed -n 's/^system=//p' <<<"$folders" | sed 's/\\\\/\\/g')
  if [ -z "$win_pf" ] || [ -z "$win_programs" ] || [ -z "$win_system" ]; then
    echo "$name: the prefix's folders are unknown: $folders"
    return 1
  fi
  win_install="$win_pf\\Korvane\\KVNBarcodeSDK"
  win_menu="$win_programs\\Korvane\\Barcode Reader SDK"
  install_dir=$(kvn_unix_path "$build" "$win_install")
  menu_dir=$(kvn_unix_path "$build" "$win_menu")
  system_dir=$(kvn_unix_path "$build" "$win_system")
  if [ -z "$install_dir" ] || [ -z "$menu_dir" ] || [ -z "$system_dir" ]; then
    echo "$name: winepath gave no Unix paths"
    return 1
  fi
}

# kvn_remove_installation BUILD [SDK]: everything an installation places,
# removed by force (after kvn_installation_places): the running setup and
# demo, the installation and Start-menu folders and their empty "Korvane"
# folders, the uninstall entry, and the system-folder files of the SDK
# folder's Sys32 (the uninstaller keeps those as shared).
kvn_remove_installation() {
  local build=$1 sdk=${2:-}
  "$kvn_installation_wine_run" --in "$build" taskkill /F /IM KVNBarcodeDemo.exe >/dev/null 2>&1 || true
  "$kvn_installation_wine_run" --in "$build" taskkill /F /IM KVNBarcodeSetup.exe >/dev/null 2>&1 || true
  rm -rf "$install_dir" "$menu_dir"
  rmdir "$(dirname "$install_dir")" "$(dirname "$menu_dir")" 2>/dev/null || true
  "$kvn_installation_wine_run" --in "$build" reg delete "$KVN_UNINSTALL_KEY" /f >/dev/null 2>&1 || true
  if [ -n "$sdk" ] && [ -d "$sdk/Sys32" ]; then
    (cd "$sdk/Sys32" && find . -type f) | while read -r f; do rm -f "$system_dir/${f#./}"; done
  fi
}
