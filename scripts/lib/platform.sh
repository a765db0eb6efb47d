# Shared shell helpers of the scripts: what this kernel runs, an X server
# for the Windows layers, and the layer summary. Source it; it sets nothing
# else.

# True when this kernel executes 32-bit x86 programs. Found out by running
# one: a 93-byte static i386 ELF that only calls exit(0) through int 0x80,
# so no 32-bit library needs to be installed for the answer.
kvn_kernel_runs_32bit() {
  if [ -n "${KVN_KERNEL_RUNS_32BIT:-}" ]; then
    [ "$KVN_KERNEL_RUNS_32BIT" = 1 ]
    return
  fi
  local probe rc
  probe=$(mktemp /tmp/kvn-elf32.XXXXXX)
  # ELF header (52 bytes), one PT_LOAD program header (32 bytes), then
  # mov eax,1; xor ebx,ebx; int 0x80.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1
  rc=$?
  rm -f "$probe"
  if [ $rc = 0 ]; then KVN_KERNEL_RUNS_32BIT=1; else KVN_KERNEL_RUNS_32BIT=0; fi
  export KVN_KERNEL_RUNS_32BIT
  [ "$KVN_KERNEL_RUNS_32BIT" = 1 ]
}

# Starts Xvfb on a free display number and exports DISPLAY; the caller
# stops it with kvn_stop_xvfb (by process id). Sets KVN_XVFB_PID.
kvn_start_xvfb() {
  local n display=""
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
  done
  if [ -z "$display" ]; then echo "no free X display number" >&2; return 1; fi
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  KVN_XVFB_PID=$!
  export DISPLAY=":$display"
  for _ in $(seq 50); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

kvn_stop_xvfb() {
  if [ -n "${KVN_XVFB_PID:-}" ]; then
    kill "$KVN_XVFB_PID" 2>/dev/null || true
    wait "$KVN_XVFB_PID" 2>/dev/null || true
    KVN_XVFB_PID=""
  fi
}

# Layer summary: kvn_layer_result NAME passed|failed|skipped [WHY], then
# kvn_print_summary at the end.
KVN_LAYERS=()
kvn_layer_result() {
  KVN_LAYERS+=("$(printf '%-14s %-8s %s' "$1" "$2" "${3:-}")")
}
kvn_print_summary() {
  echo
  echo "== Summary =="
  local line passed=0 failed=0 skipped=0
  for line in "${KVN_LAYERS[@]}"; do
    echo "$line"
    case $line in
      *" passed "*) passed=$((passed + 1)) ;;
      *" failed "*) failed=$((failed + 1)) ;;
      *" skipped "*) skipped=$((skipped + 1)) ;;
    esac
  done
  echo "layers: $passed passed, $failed failed, $skipped skipped"
}
