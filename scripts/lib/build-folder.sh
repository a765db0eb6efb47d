# The build folder a Windows program belongs to, that build's Wine prefix
# and the program's bitness, as scripts/wine-run finds them. Source it; it
# sets nothing.

# kvn_build_of PATH: the outermost folder at or above PATH (a file: its
# folder) that holds a CMakeCache.txt; nothing when there is none.
kvn_build_of() {
  local dir=$1 build=""
  [ -d "$dir" ] || dir=$(dirname "$dir")
  dir=$(cd "$dir" 2>/dev/null && pwd) || return 0
  while [ "$dir" != / ] && [ -n "$dir" ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then build=$dir; fi
    dir=$(dirname "$dir")
  done
  echo "$build"
}

# kvn_pe_bits FILE: 32 or 64, the PE machine field of a Windows program;
# nothing when the file is not one.
kvn_pe_bits() {
  local off machine
  [ -f "$1" ] || return 0
  off=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$off" ] || return 0
  machine=$(od -An -t x2 -j $((off + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in 014c) echo 32 ;; 8664) echo 64 ;; esac
}

# kvn_wine_prefix BUILD: the Wine prefix of the build's programs; a
# WINEPREFIX set by the caller wins.
kvn_wine_prefix() { echo "${WINEPREFIX:-$1/wineprefix}"; }
