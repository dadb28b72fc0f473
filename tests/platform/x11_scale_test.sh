#!/bin/bash
# The X11 editor at scale 2 in a real X server: tonnik-standalone --scale 2
# (without audio) shows a 672 x 1196 window; clicks, a drag and wheel steps
# sent at the device pixels of editor points land on the controls there,
# and the window's picture equals `tonnik editor --scale 2` after the same
# events. Then the desktop's own scale (Xft.dpi) is taken without --scale.
# Usage: x11_scale_test.sh BUILD_DIR
BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
STANDALONE="$BUILD/tonnik-standalone"
TONNIK="$BUILD/tonnik"

start_editor() {  # start_editor NAME ARGS...: sets EDITOR_PID and WID
  local name=$1; shift
  spawn "$TMP/$name.out" "$TMP/$name.err" timeout 60 "$STANDALONE" --no-audio --state "$TMP/$name.aupreset" "$@"
  EDITOR_PID=$SPAWNED
  wait_for 15 grep -q "editor window" "$TMP/$name.out" || fail "no editor window: $(cat "$TMP/$name.err")"
  WID=$(awk '/editor window/ {print $3}' "$TMP/$name.out")
  sleep 0.3
}
window_size() { xdotool getwindowgeometry "$WID" | awk '/Geometry/ {print $2}'; }

HEADLESS=()
pause() { sleep 0.25; }
xdo() { timeout 5 xdotool "$@" || fail "xdotool $*"; }
at() { echo $((2 * $1 + 1)) $((2 * $2 + 1)); }  # the device pixel inside an editor point
click() { xdo mousemove --window "$WID" $(at "$1" "$2") click 1; HEADLESS+=(--click "$1,$2"); pause; }
drag() {
  xdo mousemove --window "$WID" $(at "$1" "$2") mousedown 1 mousemove --window "$WID" $(at $(($1 + $3)) $(($2 + $4))) \
    mouseup 1
  HEADLESS+=(--drag "$1,$2,$3,$4")
  pause
}
wheel() { xdo mousemove --window "$WID" $(at "$1" "$2") click --repeat "$3" --delay 20 4; HEADLESS+=(--wheel "$1,$2,$3"); pause; }

start_xvfb 800x1300
start_editor scaled --scale 2
[ "$(window_size)" = 672x1196 ] || fail "the window is $(window_size), not 672x1196"
click 155 105      # MIDI Tune
click 200 190      # Glide Mode
drag 70 290 0 -40  # Decay up
wheel 70 380 3     # Comp up
import -window "$WID" "$TMP/x11.png" || fail "no screenshot"
timeout 30 "$TONNIK" editor --scale 2 -o "$TMP/headless.png" "${HEADLESS[@]}" >/dev/null || fail "headless editor failed"
diff=$(pixel_difference "$TMP/x11.png" "$TMP/headless.png")
[ "$diff" = 0 ] || fail "$diff pixels differ from the headless editor at scale 2"
timeout 30 "$TONNIK" editor --scale 2 -o "$TMP/untouched.png" >/dev/null || fail "headless editor failed"
[ "$(pixel_difference "$TMP/x11.png" "$TMP/untouched.png")" != 0 ] || fail "the events changed nothing"
echo "same pixels as the headless editor at scale 2; the clicks landed"
kill -TERM "$EDITOR_PID"; wait "$EDITOR_PID"

# Without --scale the desktop's dots per inch decide (144 dpi is 1.5).
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	144" || fail "xprop"
start_editor desktop
[ "$(window_size)" = 504x897 ] || fail "at Xft.dpi 144 the window is $(window_size), not 504x897"
kill -TERM "$EDITOR_PID"; wait "$EDITOR_PID"
echo "x11 editor at scale: every check passed"
