# Where the setup of a build installs in that build's Wine prefix, asked
# through shell_query.exe and winepath, and its removal by force. Source it.

kvn_installation_wine_run=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/wine-run
source "$(dirname "${BASH_SOURCE[0]}")/wine-user.sh"
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

# kvn_windows_attributes BUILD WINDOWS_PATH [/S]: "attributes<TAB>windows path"
# per entry, as Windows' attrib reports them (letters only, e.g. "AR").
kvn_windows_attributes() {
  "$kvn_installation_wine_run" --in "$1" cmd /c attrib "$2" ${3:+"$3"} 2>/dev/null | tr -d '\r' |
    sed -nE 's/^([A-Z ]*[A-Z]?) +([A-Za-z]:\\.*)$/\1\t\2/p' | awk -F'\t' '{ gsub(/ /, "", $1); print $1 "\t" $2 }'
}

# kvn_machine_state BUILD [SDK [SHELL_QUERY]]: what an installation is on the
# machine, one sorted line per entry (after kvn_installation_places): every
# folder and file of the installation folder with its attributes (asked of
# Windows) and sha256, the system-folder files of the SDK's Sys32, the
# uninstall entry as reg export writes it, and the Start-menu folder's links
# with their sha256. Two states are equal when the installations are byte
# for byte the same. A link records the times of its target, so another
# installation's links differ in those bytes: with SHELL_QUERY
# (shell_query.exe) each link is listed by what the shell reads back from it
# (target, arguments, working folder, description) instead.
kvn_machine_state() { kvn_machine_state_lines "$@" | LC_ALL=C sort; }
kvn_machine_state_lines() {
  local build=$1 sdk=${2:-} shell_query=${3:-} work f attrs
  work=$(mktemp -d)
  kvn_wine_owns "$work"  # reg export writes there as the user Wine runs as
  if [ -d "$install_dir" ]; then
    (cd "$install_dir" && find . -mindepth 1 -type d | sed 's|^\./|folder |')
    kvn_windows_attributes "$build" "$win_install\\*" /S |
      awk -F'\t' -v root="$win_install\\" '{ p = substr($2, length(root) + 1); gsub(/\\/, "/", p); print p "\t" $1 }' |
      sort >"$work/attributes"
    (cd "$install_dir" && find . -type f -print0 | xargs -0 -r sha256sum) |
      awk '{ h = $1; sub(/^[0-9a-f]+  \.\//, ""); print $0 "\t" h }' | sort >"$work/digests"
    join -t $'\t' -a 2 -e '?' -o '0,1.2,2.2' "$work/attributes" "$work/digests" | sed 's/^/file /'
  fi
  if [ -n "$sdk" ] && [ -d "$sdk/Sys32" ]; then
    for f in $(cd "$sdk/Sys32" && find . -type f | sed 's|^\./||'); do
      if [ -f "$system_dir/$f" ]; then
        attrs=$(kvn_windows_attributes "$build" "$win_system\\${f//\//\\}" | cut -f1)
        echo "system $f	$attrs	$(sha256sum <"$system_dir/$f" | cut -d' ' -f1)"
      else
        echo "system $f	missing"
      fi
    done
  fi
  rm -f "$work/entry.reg"
  "$kvn_installation_wine_run" --in "$build" reg export "$KVN_UNINSTALL_KEY" "$(
    "$kvn_installation_wine_run" --in "$build" winepath -w "$work" 2>/dev/null | tr -d '\r')\\entry.reg" /y >/dev/null 2>&1
  if [ -f "$work/entry.reg" ]; then
    iconv -f UTF-16LE -t UTF-8 "$work/entry.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' | grep -v '^$' | sed 's/^/entry /'
  else
    echo "entry none"
  fi
  if [ -d "$menu_dir" ]; then
    (cd "$menu_dir" && find . -mindepth 1 -type d | sed 's|^\./|menu-folder |')
    if [ -n "$shell_query" ]; then
      "$kvn_installation_wine_run" "$shell_query" --links "$win_menu" 2>/dev/null | tr -d '\r' |
        sed -nE 's/^link[0-9]+\.(name|target|arguments|workdir|description|error)=/&/p' | awk -F= '
          { key = $1; sub(/^link[0-9]+\./, "", key); value = substr($0, length($1) + 2) }
          key == "name" { name = value; next }
          { print "link " name "\t" key "\t" value }'
    else
      (cd "$menu_dir" && find . -type f -print0 | xargs -0 -r sha256sum) | sed -E 's|^([0-9a-f]+)  \./(.*)$|link \2\t\1|'
    fi
  fi
  rm -rf "$work"
}
