#!/bin/bash
# tonnik-standalone on a JACK server (dummy backend) under Xvfb: its ports
# and --connect, notes from jack_midiseq and clicks on the trigger (its rim
# and the LED on its centre) heard in jack_capture's recording, the state
# saved on SIGTERM and shown again at the next start, a damaged state file
# reported and left as it was.
# Usage: standalone_jack_test.sh BUILD_DIR
BUILD=$(cd "$1" && pwd)
. "$(dirname "$0")/../support/private_shm.sh"
. "$(dirname "$0")/xvfb_lib.sh"
STANDALONE="$BUILD/tonnik-standalone"
TONNIK="$BUILD/tonnik"
PEAK="$BUILD/tests/platform/wav_peak"
STATE="$TMP/state.aupreset"
# A hit's level reaches this within its first milliseconds; silence stays far below.
LOUD=0.05

start_instrument() {  # start_instrument NAME ARGS...: sets PLAYER and WID
  local name=$1
  shift
  spawn "$TMP/$name.out" "$TMP/$name.err" timeout 90 "$STANDALONE" "$@"
  PLAYER=$SPAWNED
  wait_for 15 grep -q "editor window" "$TMP/$name.out" || fail "$name: no editor window: $(cat "$TMP/$name.err")"
  WID=$(awk '/editor window/ {print $3}' "$TMP/$name.out")
  sleep 0.3
}
stop_instrument() {  # stop_instrument NAME: SIGTERM, expects a clean exit with the state saved
  kill -TERM "$PLAYER"
  wait "$PLAYER"; local rc=$?
  [ "$rc" = 0 ] || fail "$1: SIGTERM ended it with $rc: $(cat "$TMP/$1.err")"
  grep -q "saved the state" "$TMP/$1.out" || fail "$1: no state saved"
}
xdo() { timeout 5 xdotool "$@" || fail "xdotool $*"; }

start_xvfb
start_jackd
start_instrument first --state "$STATE" --connect
ports=$(jack_lsp -c)
for p in tonnik:midi_in tonnik:out_1 tonnik:out_2; do [[ "$ports" == *"$p"* ]] || fail "no port $p"; done
grep -q "out_1 -> system:playback_1" "$TMP/first.out" || fail "--connect did not connect: $(cat "$TMP/first.out")"

# Notes from a sequencer: a kick every half second.
record "$TMP/notes.wav" 2 tonnik:out_1 tonnik:out_2
spawn "$TMP/seq.out" "$TMP/seq.err" timeout 10 jack_midiseq tonnik_seq 24000 0 36 8000
SEQ=$SPAWNED
wait_for 5 bash -c "jack_lsp | grep -q tonnik_seq:out" || fail "jack_midiseq did not start"
jack_connect tonnik_seq:out tonnik:midi_in || fail "cannot connect the sequencer"
wait "$RECORDER"
kill "$SEQ"
read -r _ peak _ first _ < <("$PEAK" "$TMP/notes.wav" $LOUD)
awk "BEGIN {exit !($peak >= $LOUD)}" || fail "the notes are not heard (peak $peak)"
echo "notes from jack_midiseq heard: peak $peak"

# The trigger button, clicked in the window, is heard too. The recording
# starts in silence: the sequencer is gone, and its last hit (which may have
# come just before it went) has had time to fall far below LOUD.
sleep 1.5
expect_trigger_heard tonnik:out_1 "$WID"
# Its centre, where the LED sits, plays it as well.
sleep 1.5
expect_trigger_heard tonnik:out_1 "$WID" 167 461

# Knobs moved, SIGTERM: the next start shows them where they were.
xdo mousemove --window "$WID" 70 290 mousedown 1 mousemove --window "$WID" 70 240 mouseup 1
sleep 0.2
xdo mousemove --window "$WID" 260 110 click 4 click 4 click 4
sleep 0.3
stop_instrument first
start_instrument second --state "$STATE"
import -window "$WID" "$TMP/second.png" || fail "no screenshot"
timeout 30 "$TONNIK" editor -o "$TMP/saved.png" --state "$STATE" >/dev/null || fail "headless editor failed"
timeout 30 "$TONNIK" editor -o "$TMP/init.png" >/dev/null || fail "headless editor failed"
diff=$(pixel_difference "$TMP/second.png" "$TMP/saved.png")
[ "$diff" = 0 ] || fail "the restarted editor differs from the saved state by $diff pixels"
[ "$(pixel_difference "$TMP/second.png" "$TMP/init.png")" != 0 ] || fail "the saved state is just Init"
echo "the next start shows the saved knob positions"
stop_instrument second

# A damaged state file: said so, left as it is, Init shown, saved beside it.
head -c 300 /dev/urandom > "$TMP/damaged.aupreset"
cp "$TMP/damaged.aupreset" "$TMP/damaged.copy"
start_instrument damaged --state "$TMP/damaged.aupreset"
grep -q 'starting from "Init"' "$TMP/damaged.err" || fail "the damage was not reported: $(cat "$TMP/damaged.err")"
import -window "$WID" "$TMP/damaged.png" || fail "no screenshot"
[ "$(pixel_difference "$TMP/damaged.png" "$TMP/init.png")" = 0 ] || fail "a damaged state did not start from Init"
stop_instrument damaged
cmp -s "$TMP/damaged.aupreset" "$TMP/damaged.copy" || fail "the damaged state file was changed"
[ -s "$TMP/damaged.aupreset.new" ] || fail "the session after a damaged state was not saved beside it"
echo "a damaged state is reported and left untouched"
echo "standalone: every check passed"
