#!/usr/bin/env bash
# The unit tests that must run on the target's own runtime (threads, files,
# text conversion), run under Wine in the test's fresh prefix.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

tests_exe=${4:?usage: $0 <exe> <wintool> <artifacts> <target_tests.exe>}
cp "$tests_exe" "$OW_DIR/prefix/drive_c/Ostrel/target_tests.exe"
if wine 'C:\Ostrel\target_tests.exe' >"$OW_DIR/target.log" 2>&1; then
  ow_pass "the target unit tests pass ($(grep -c '^\[       OK \]' "$OW_DIR/target.log") tests)"
else
  ow_fail "the target unit tests failed"
  cat "$OW_DIR/target.log"
fi
ow_finish
