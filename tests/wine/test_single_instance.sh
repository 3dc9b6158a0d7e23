#!/usr/bin/env bash
# Hidden start ("-" last on the command line) and the single-instance rule: a
# second start shows the first one's window and ends without doing anything.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

# ---- hidden start ----
ow_start -
first_pid=$OW_APP_PID
wt wait-window 30000 >/dev/null || ow_die "a hidden start made no main window within 30 s"
sleep 2  # start-up surely finished (the list prober and timers ran)
check "a start ending in \" -\" shows no window" wt wait-visible 0 0

# ---- second start ----
# Settings are written only at exit and the first copy still runs, so the
# registry must stay as it is now; a copy that saved would write "wid" again.
reg_set 'HKCU\RZ' TimeInterval 9
wine reg delete 'HKCU\RZ' /v wid /f >/dev/null 2>&1
settings_before=$(reg_dump 'HKCU\RZ')
ow_start
second_pid=$OW_APP_PID
check "the second copy ends by itself" ow_wait_pid "$second_pid" 30
check "the second start shows the first copy's window" wt wait-visible 1 10000
check_eq "exactly one main window" 1 "$(wt count-windows)"
check "the first copy still runs" kill -0 "$first_pid"
# Shown from outside, the window is shown all the same: its empty list's add
# button blinks (once a second), as after a start with the window.
blinks() {
  local i
  for i in 0 1 2 3; do
    import -display "$DISPLAY" -window root "$OW_DIR/blink$i.png" >/dev/null 2>&1 || return 1
    sleep 0.5
  done
  for i in 1 2 3; do
    [ "$(compare -metric AE "$OW_DIR/blink0.png" "$OW_DIR/blink$i.png" null: 2>&1)" != 0 ] && return 0
  done
  return 1
}
check "the window the second copy showed blinks its add button" blinks
check_eq "the second copy wrote no settings" "$settings_before" "$(reg_dump 'HKCU\RZ')"

# ---- the first copy is unharmed and exits normally ----
OW_APP_PID=$first_pid
ow_exit_program || ow_die "the first copy did not exit"
check_eq "the first copy saved its own settings at exit" 5 "$(reg_get 'HKCU\RZ' TimeInterval)"

# ---- copies started at the same moment: one runs on ----
# Several may miss the others' mutex when opening it; creating it tells the late ones.
# To a file: the copies hold on to wintool's output, a pipe would never end.
wt start-together 8 15000 "$OW_EXE_WIN" >"$OW_DIR/together" 2>&1
check_eq "of eight copies started together one runs on" 1 "$(cat "$OW_DIR/together")"
check_eq "and it has the only main window" 1 "$(wt count-windows)"
no_main_window() { [ "$(wt count-windows)" = 0 ]; }
wt post-command 106 && wait_until 30 no_main_window || ow_fail "the survivor did not end after Exit"

ow_finish
