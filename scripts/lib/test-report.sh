# Reporting of the shell tests: one "ok - WHAT" or "FAIL - WHAT" line per
# check, counted in passed and failed, and a closing line. Source it; it
# sets passed and failed to 0.

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "ok - $*"; }
bad() { failed=$((failed + 1)); echo "FAIL - $*"; }

# check WHAT COMMAND...: ok WHAT when the command succeeds, bad WHAT when not.
check() {
  local what=$1
  shift
  if "$@"; then ok "$what"; else bad "$what"; fi
}

# kvn_test_summary NAME: "NAME: P passed, F failed"; fails when a check failed.
kvn_test_summary() {
  echo "$1: $passed passed, $failed failed"
  [ "$failed" = 0 ]
}
