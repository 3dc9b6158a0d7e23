#!/usr/bin/env bash
# The unit tests that must run on the target's own runtime (threads, files,
# text conversion, HTTP), run under Wine in the test's fresh prefix.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

tests_exe=${4:?usage: $0 <exe> <wintool> <artifacts> <target_tests.exe>}
cp "$tests_exe" "$OW_DIR/prefix/drive_c/Ostrel/target_tests.exe"

# The transfer tests talk to a catalogue server of their own on the loopback
# interface, which a fresh network namespace starts with down.
[ "$OW_IN_NETNS" = yes ] && ip link set lo up 2>/dev/null
mkdir -p "$OW_DIR/prefix/drive_c/Ostrel/www"
/usr/bin/python3 "$(dirname "$0")/catalogue_server.py" 0 "$OW_DIR/prefix/drive_c/Ostrel/www" "$OW_DIR/port" \
  >"$OW_DIR/server.log" 2>&1 &
OW_PIDS+=($!)
server_up() { [ -s "$OW_DIR/port" ]; }
if wait_until 20 server_up; then
  export OSTREL_TEST_SERVER="http://127.0.0.1:$(cat "$OW_DIR/port")/" OSTREL_TEST_SERVER_FOLDER='C:\Ostrel\www'
  ow_log "catalogue server at $OSTREL_TEST_SERVER"
else
  ow_fail "the catalogue server did not start: $(cat "$OW_DIR/server.log")"
fi

if wine 'C:\Ostrel\target_tests.exe' >"$OW_DIR/target.log" 2>&1; then
  ow_pass "the target unit tests pass ($(grep -c '^\[       OK \]' "$OW_DIR/target.log") tests)"
else
  ow_fail "the target unit tests failed"
  cat "$OW_DIR/target.log"
fi
grep '^\[  SKIPPED \]' "$OW_DIR/target.log" | sed "s/^/[$OW_TEST] /"
ow_finish
