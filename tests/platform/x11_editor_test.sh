#!/bin/bash
# The X11 editor in a real X server: opened top-level by tonnik-standalone
# (without audio), clicks, drags, wheel and keys sent with xdotool, the
# window captured and compared with what the headless editor shows after
# the same events. Then the state saved on SIGTERM comes back at the next
# start, a display that goes away ends the program cleanly, and without a
# display it says why.
# Usage: x11_editor_test.sh BUILD_DIR
BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
STANDALONE="$BUILD/tonnik-standalone"
TONNIK="$BUILD/tonnik"
STATE="$TMP/config/state.aupreset"

start_editor() {  # start_editor NAME: sets EDITOR_PID and WID
  spawn "$TMP/$1.out" "$TMP/$1.err" timeout 60 "$STANDALONE" --no-audio --state "$STATE"
  EDITOR_PID=$SPAWNED
  wait_for 15 grep -q "editor window" "$TMP/$1.out" || fail "no editor window: $(cat "$TMP/$1.err")"
  WID=$(awk '/editor window/ {print $3}' "$TMP/$1.out")
  sleep 0.3
}

HEADLESS=()
pause() { sleep 0.25; }
xdo() { timeout 5 xdotool "$@" || fail "xdotool $*"; }
click() { xdo mousemove --window "$WID" "$1" "$2" click 1; HEADLESS+=(--click "$1,$2"); pause; }
drag() {
  xdo mousemove --window "$WID" "$1" "$2" mousedown 1 mousemove --window "$WID" $(($1 + $3)) $(($2 + $4)) mouseup 1
  HEADLESS+=(--drag "$1,$2,$3,$4")
  pause
}
wheel() {
  local button=4 steps=$3
  if ((steps < 0)); then button=5; steps=$((-steps)); fi
  xdo mousemove --window "$WID" "$1" "$2" click --repeat "$steps" --delay 20 "$button"
  HEADLESS+=(--wheel "$1,$2,$3")
  pause
}
key() { xdo mousemove --window "$WID" "$1" "$2" key "$3"; HEADLESS+=(--key "$1,$2,$4"); pause; }

start_xvfb
start_editor first
click 155 105     # MIDI Tune
click 200 190     # Glide Mode: Up/Down -> Up
drag 70 290 0 -40  # Decay up
drag 260 290 0 25  # Tone down
wheel 70 380 3     # Comp up three steps
wheel 260 380 -2   # Drive down two steps
key 70 290 a a
key 260 110 space space
key 260 110 Up up
click 300 405     # DriveEnv
import -window "$WID" "$TMP/x11.png" || fail "no screenshot"
timeout 30 "$TONNIK" editor -o "$TMP/headless.png" "${HEADLESS[@]}" >/dev/null || fail "headless editor failed"
diff=$(pixel_difference "$TMP/x11.png" "$TMP/headless.png")
[ "$diff" = 0 ] || { cp "$TMP/x11.png" "$TMP/headless.png" /tmp/ 2>/dev/null; fail "$diff pixels differ from the headless editor"; }
echo "same pixels as the headless editor after ${#HEADLESS[@]} event arguments"

# SIGTERM saves; the next start shows the same knobs and switches.
kill -TERM "$EDITOR_PID"
wait "$EDITOR_PID"; rc=$?
[ "$rc" = 0 ] || fail "SIGTERM ended the program with $rc: $(cat "$TMP/first.err")"
[ -s "$STATE" ] || fail "no state saved"
start_editor second
import -window "$WID" "$TMP/restarted.png" || fail "no screenshot"
timeout 30 "$TONNIK" editor -o "$TMP/restored.png" --state "$STATE" >/dev/null || fail "headless editor failed"
diff=$(pixel_difference "$TMP/restarted.png" "$TMP/restored.png")
[ "$diff" = 0 ] || fail "the restarted editor differs from the saved state by $diff pixels"
echo "restarted with the saved knob positions"

# The display goes away under the running editor: it ends, saved, no crash.
kill -9 "$XVFB_PID"; wait "$XVFB_PID" 2>/dev/null
wait_for 10 bash -c "! kill -0 $EDITOR_PID 2>/dev/null" || fail "the editor outlived its display"
wait "$EDITOR_PID"; rc=$?
[ "$rc" = 3 ] || fail "a lost display ended the program with $rc: $(cat "$TMP/second.err")"
grep -q "display went away" "$TMP/second.err" || fail "no word about the lost display"
grep -q "saved the state" "$TMP/second.out" || fail "the state was not saved after the display went away"
echo "a lost display ends the editor cleanly"

# No display at all.
out=$(DISPLAY= timeout 10 "$STANDALONE" --no-audio --state "$TMP/other.aupreset" 2>&1); rc=$?
[ "$rc" = 1 ] && [[ "$out" == *"DISPLAY is not set"* ]] || fail "without a display: rc $rc, '$out'"
out=$(DISPLAY=:9999 timeout 10 "$STANDALONE" --no-audio --state "$TMP/other.aupreset" 2>&1); rc=$?
[ "$rc" = 1 ] && [[ "$out" == *"cannot open X display"* ]] || fail "with a wrong display: rc $rc, '$out'"
echo "x11 editor: every check passed"
