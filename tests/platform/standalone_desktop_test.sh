#!/bin/bash
# tonnik-standalone as a desktop sees it, on a JACK server (dummy backend)
# under Xvfb: its window's WM_CLASS, _NET_WM_PID, WM_CLIENT_MACHINE and a
# title naming a state file other than the default; the window's close
# button (the WM_DELETE_WINDOW message a window manager sends) ends the
# process promptly, with the state saved first.
# Usage: standalone_desktop_test.sh BUILD_DIR
BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/../support/private_shm.sh"
. "$(dirname "$0")/xvfb_lib.sh"
STANDALONE="$BUILD/tonnik-standalone"
CLOSE="$BUILD/tests/platform/x11_close_window"
export XDG_CONFIG_HOME="$TMP/config"
# What the test demands of close-to-exit; the program takes well under 0.3 s,
# a loaded machine must not fail the test.
EXIT_LIMIT_MS=2000

start_instrument() {  # start_instrument NAME ARGS...: sets PLAYER and WID
  local name=$1
  shift
  spawn "$TMP/$name.out" "$TMP/$name.err" "$STANDALONE" "$@"
  PLAYER=$SPAWNED
  wait_for 15 grep -q "editor window" "$TMP/$name.out" || fail "$name: no editor window: $(cat "$TMP/$name.err")"
  WID=$(awk '/editor window/ {print $3}' "$TMP/$name.out")
}
property() { xprop -id "$WID" "$1" | sed 's/^[^=]*= //'; }

start_xvfb
start_jackd
start_instrument named --state "$TMP/deep kick.aupreset"
[ "$(property WM_CLASS)" = '"tonnik-standalone", "TONNIK-PRO"' ] || fail "WM_CLASS is $(property WM_CLASS)"
[ "$(property _NET_WM_PID)" = "$PLAYER" ] || fail "_NET_WM_PID is $(property _NET_WM_PID), not $PLAYER"
[ "$(property WM_CLIENT_MACHINE)" = "\"$(hostname)\"" ] || fail "WM_CLIENT_MACHINE is $(property WM_CLIENT_MACHINE)"
[ "$(property _NET_WM_NAME)" = '"TONNIK-PRO - deep kick.aupreset"' ] || fail "the title is $(property _NET_WM_NAME)"
echo "WM_CLASS, _NET_WM_PID, WM_CLIENT_MACHINE and the title name the program and its state file"

# A knob moved, then the close button: the process ends soon after, the move saved.
timeout 5 xdotool mousemove --window "$WID" 70 290 mousedown 1 mousemove --window "$WID" 70 240 mouseup 1 ||
  fail "xdotool could not move a knob"
sleep 0.3
started=$(date +%s%N)
"$CLOSE" "$WID" || fail "the close message was not sent"
wait "$PLAYER"; rc=$?
took_ms=$((($(date +%s%N) - started) / 1000000))
[ "$rc" = 0 ] || fail "closing the window ended the program with $rc: $(cat "$TMP/named.err")"
grep -q "saved the state" "$TMP/named.out" && [ -s "$TMP/deep kick.aupreset" ] || fail "no state saved on close"
((took_ms < EXIT_LIMIT_MS)) || fail "the program took $took_ms ms to end after its window closed"
echo "closed: the program saved and ended $took_ms ms after the close button"

start_instrument default
[ "$(property _NET_WM_NAME)" = '"TONNIK-PRO"' ] || fail "with the default state the title is $(property _NET_WM_NAME)"
"$CLOSE" "$WID" || fail "the close message was not sent"
wait "$PLAYER" || fail "closing the window failed"
[ -s "$XDG_CONFIG_HOME/tonnik/state.aupreset" ] || fail "the default state was not saved"
echo "standalone desktop: every check passed"
